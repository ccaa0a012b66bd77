#pragma once

#include <QString>

// A new folder for one rip in the temporary folder, named by the seconds
// since 1970 at its start. When that folder exists already (two rips in the
// same second) the next free number is taken, so no rip writes over files
// that an earlier one handed on as jobs. Returns the folder without a
// trailing separator, or "" when it could not be made.
QString makeRipFolder(const QString &tempFolder);
