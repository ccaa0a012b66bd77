#pragma once

#include <QString>

// The outside programs a burn needs, by role, and what to tell a user who
// lacks one.
namespace BurnTools {

inline const char *const authoring = "dvdauthor";
inline const char *const dvdBurner = "growisofs";
inline const char *const dvdInfo = "dvd+rw-mediainfo";
inline const char *const isoWriter = "genisoimage";
inline const char *const cdState = "mfs-cdstate";

// The audio-CD burner: cdrskin (maintained, on libburn like the state
// tool), else wodim; "" when neither is installed.
QString cdBurner();

// The Debian package that brings `program`.
QString package(const QString &program);

// Why `program` can't be used for `purpose`, naming its Debian package; ""
// when it is there.
QString missing(const QString &program, const QString &purpose);
// The same for a program that was found but could not be started.
QString unstartable(const QString &program, const QString &error);

} // namespace BurnTools
