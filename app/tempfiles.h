#pragma once

#include <QString>
#include <QStringList>

// Deletion is only ever allowed inside the temporary folder.
namespace TempFiles {

// Files and folders of a folder, without dot entries and hidden ones.
QStringList listing(const QString &folder);

// Deletes a file or folder tree that lies inside `tempFolder` (which ends with
// a separator). Links are removed as links, never followed. A file that can't
// be deleted is retried for one second.
bool remove(const QString &path, const QString &tempFolder);

} // namespace TempFiles
