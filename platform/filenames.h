#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A Linux file name is any string of bytes; Qt's own file classes only take
// names that are valid UTF-8 and skip the others. Names travel through the
// program as QString: valid UTF-8 decodes as usual, and each byte that is not
// part of valid UTF-8 becomes the lone surrogate U+DC80 + (byte - 0x80), so
// that encoding gives back exactly the bytes the file system holds.
namespace FileNames {

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &name);
// Whether Qt's file classes can take the name as it is.
bool isPlain(const QString &name);
// The program's arguments as file names (Qt's own list loses foreign bytes).
QStringList arguments(int argc, char **argv);
// The path made absolute against the working folder and cleaned of "." and
// ".." (Qt's own way loses foreign bytes).
QString absolute(const QString &path);

// Whether anything at all has this name: a file, a folder, a device, or a
// link, even one that leads nowhere.
bool taken(const QString &path);
// Whether the name leads to something: a link counts as what it leads to.
bool exists(const QString &path);
bool isFile(const QString &path);   // a regular file, not through a link at the end
bool isFolder(const QString &path); // follows links, as a folder to write into may be one
bool isReadable(const QString &path);
// Bytes of a regular file; -1 when it is none.
qint64 size(const QString &path);
// Opens for reading (never creates); -1 with errno set on failure.
int openRead(const QString &path);

} // namespace FileNames
