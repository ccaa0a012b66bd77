#pragma once

#include <QString>

// The command line's staging folders in the temporary folder. Each is hidden,
// so that the window's clean-up leaves a burn going on alone, and its name
// records its owner: ".burn-PID-START-XXXXXX", the process id and the
// process's start time (clock ticks after boot), so that a later start can
// tell a folder whose owner was killed from one still in use, even when the
// process id has been given to another process since.
namespace StagingFolder {

// A new staging folder of this process, this run's own; "" with the reason.
QString create(const QString &tempFolder, QString *error = nullptr);

// Removes the staging folders in `tempFolder` whose owner no longer runs.
// A folder whose owner lives, or whose name records no owner (the window's
// staging folders among them), stays. Answers how many were removed.
int sweep(const QString &tempFolder);

} // namespace StagingFolder
