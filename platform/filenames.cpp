#include "platform/filenames.h"

#include <QDir>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileNames {

namespace {

constexpr char16_t escapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at `at`, or 0 when the byte
// there starts none (overlong forms and encoded surrogates are not valid).
int sequenceLength(const QByteArray &b, int at)
{
    const auto byte = [&b](int i) { return quint8(b.at(i)); };
    const quint8 c = byte(at);
    if (c < 0x80)
        return 1;
    int length = 0;
    quint32 code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (at + length > b.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))
        || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString decode(const QByteArray &bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (int at = 0; at < bytes.size();) {
        const int length = sequenceLength(bytes, at);
        if (length == 0) {
            name += QChar(char16_t(escapeBase + quint8(bytes.at(at))));
            ++at;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + at, length);
        at += length;
    }
    return name;
}

QByteArray encode(const QString &name)
{
    if (isPlain(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size());
    for (int at = 0; at < name.size(); ++at) {
        const QChar c = name.at(at);
        if (c.unicode() >= escapeBase + 0x80 && c.unicode() <= escapeBase + 0xFF) {
            bytes += char(c.unicode() - escapeBase);
        } else if (c.isHighSurrogate() && at + 1 < name.size() && name.at(at + 1).isLowSurrogate()) {
            bytes += name.mid(at, 2).toUtf8();
            ++at;
        } else {
            bytes += QString(c).toUtf8();
        }
    }
    return bytes;
}

bool isPlain(const QString &name)
{
    for (int at = 0; at < name.size(); ++at) {
        const QChar c = name.at(at);
        if (c.isHighSurrogate() && at + 1 < name.size() && name.at(at + 1).isLowSurrogate())
            ++at;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

QStringList arguments(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << decode(QByteArray(argv[i]));
    return list;
}

QString absolute(const QString &path)
{
    if (path.isEmpty() || path.startsWith('/'))
        return QDir::cleanPath(path);
    QByteArray folder(PATH_MAX, Qt::Uninitialized);
    while (!::getcwd(folder.data(), size_t(folder.size()))) {
        if (errno != ERANGE)
            return QDir::cleanPath(path);
        folder.resize(folder.size() * 2);
    }
    return QDir::cleanPath(decode(QByteArray(folder.constData())) + "/" + path);
}

bool taken(const QString &path)
{
    struct stat st;
    return ::lstat(encode(path).constData(), &st) == 0;
}

bool exists(const QString &path)
{
    struct stat st;
    return ::stat(encode(path).constData(), &st) == 0;
}

bool isFile(const QString &path)
{
    struct stat st;
    return ::lstat(encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const QString &path)
{
    struct stat st;
    return ::stat(encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isReadable(const QString &path)
{
    return ::access(encode(path).constData(), R_OK) == 0;
}

qint64 size(const QString &path)
{
    struct stat st;
    if (::stat(encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}

int openRead(const QString &path)
{
    return ::open(encode(path).constData(), O_RDONLY | O_CLOEXEC);
}

} // namespace FileNames
