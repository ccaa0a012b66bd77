#pragma once

#include <QString>

namespace Desktop {

// Shows the file selected in the desktop's file manager; falls back to
// opening its folder. Never waits for the file manager.
void showInFileManager(const QString &path);

// Opens a path (a disc's mount point or device) with the desktop's handler.
void openWithDesktop(const QString &path);

} // namespace Desktop
