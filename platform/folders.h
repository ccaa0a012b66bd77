#pragma once

#include <QString>

// Where the program keeps its per-user files. The application-data folder
// is $appdata when set (tests point it at a scratch folder), otherwise the
// user's XDG data folder; everything else is plain concatenation on it.
namespace Folders {

QString separator();
QString appDataFolder();
QString productFolder();
// With its trailing separator, as the interface expects folder paths.
QString tempFolder();
QString cataloguePath();
QString debugLogPath();
QString musicFolder();
QString videoFolder();
QString homeFolder();

// Native separators; relative paths become absolute against the working folder.
QString nativeAbsolute(const QString &path);

} // namespace Folders
