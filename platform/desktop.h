#pragma once

#include <QString>

namespace Desktop {

// Shows the file selected in the desktop's file manager; falls back to
// opening its folder. Never waits for the file manager.
void showInFileManager(const QString &path);

// Opens a path (a disc's mount point or device) with the desktop's handler.
void openWithDesktop(const QString &path);

// A desktop notification (the freedesktop notification service); nothing
// when the desktop has none.
void notify(const QString &summary, const QString &body);

} // namespace Desktop
