#include "platform/ownfiles.h"

#include "platform/filenames.h"

#include <QHash>
#include <QMutex>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OwnFiles {

namespace {

// Device and inode, and the inode's generation where the file system keeps
// one: a freed inode number is soon given to the next new file, which then
// differs only in its generation (birth times are too coarse to tell).
struct Identity {
    quint64 device = 0;
    quint64 inode = 0;
    quint32 generation = 0;
    bool operator==(const Identity &o) const
    {
        return device == o.device && inode == o.inode && generation == o.generation;
    }
};

// The identity of the entry at `path` itself (a link is not followed), or of
// the open file `fd` when it is not -1; false when there is none.
bool identify(const QByteArray &path, int fd, Identity *id)
{
    struct stat st;
    if (fd >= 0 ? ::fstat(fd, &st) != 0 : ::lstat(path.constData(), &st) != 0)
        return false;
    id->device = st.st_dev;
    id->inode = st.st_ino;
    id->generation = 0;
    // Only files and folders are opened: opening a device or a pipe could act.
    int own = fd;
    if (own < 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
        own = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (own >= 0) {
        int generation = 0;
        if (::ioctl(own, FS_IOC_GETVERSION, &generation) == 0)
            id->generation = quint32(generation);
        if (own != fd)
            ::close(own);
    }
    return true;
}

QMutex &lock()
{
    static QMutex mutex;
    return mutex;
}

// Keyed by the name's bytes, so two spellings of one name can't disagree.
QHash<QByteArray, Identity> &made()
{
    static QHash<QByteArray, Identity> entries;
    return entries;
}

void remember(const QByteArray &path, int fd = -1)
{
    Identity id;
    if (!identify(path, fd, &id))
        return;
    QMutexLocker hold(&lock());
    made().insert(path, id);
}

// Callers may look at errno after the reason is taken.
bool fail(QString *error, int errnum)
{
    if (error)
        *error = errorText(errnum);
    errno = errnum;
    return false;
}

// Removes what is in a folder opened as `dir`, never following a link.
bool emptyFolder(int dir)
{
    DIR *listing = ::fdopendir(::dup(dir));
    if (!listing)
        return false;
    bool ok = true;
    while (const dirent *entry = ::readdir(listing)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (::unlinkat(dir, name, 0) == 0)
            continue;
        const int sub = ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) {
            ok = false;
            continue;
        }
        ok = emptyFolder(sub) && ok;
        ::close(sub);
        ok = ::unlinkat(dir, name, AT_REMOVEDIR) == 0 && ok;
    }
    ::closedir(listing);
    return ok;
}

} // namespace

bool writeAll(int fd, const char *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            errno = n == 0 ? EIO : errno;
            return false;
        }
        done += n;
    }
    return true;
}

QString errorText(int errnum)
{
    return QString::fromLocal8Bit(std::strerror(errnum));
}

int createFile(const QString &path, QString *error)
{
    const QByteArray bytes = FileNames::encode(path);
    const int fd = ::open(bytes.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int errnum = errno;
        fail(error, errnum);
        errno = errnum;
        return -1;
    }
    remember(bytes, fd);
    return fd;
}

bool claimFile(const QString &path, QString *error)
{
    const int fd = createFile(path, error);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool createFolder(const QString &path, QString *error)
{
    const QByteArray bytes = FileNames::encode(path);
    if (::mkdir(bytes.constData(), 0777) != 0)
        return fail(error, errno);
    remember(bytes);
    return true;
}

QString claimFreeName(const QString &stem, const QString &ext, QString *error)
{
    QString name = stem + "." + ext;
    for (int n = 1; n < 100000; ++n) {
        QString why;
        if (claimFile(name, &why))
            return name;
        // O_NOFOLLOW answers ELOOP for a link at the name: taken as well.
        if (errno != EEXIST && errno != ELOOP) {
            if (error)
                *error = why;
            return {};
        }
        name = stem + (n == 1 ? QString(" (New).") : " (New)(" + QString::number(n) + ").") + ext;
    }
    if (error)
        *error = errorText(EEXIST);
    return {};
}

QString identity(const QString &path)
{
    Identity id;
    if (!identify(FileNames::encode(path), -1, &id))
        return {};
    return QString("%1:%2:%3").arg(id.device).arg(id.inode).arg(id.generation);
}

bool isOwn(const QString &path)
{
    const QByteArray bytes = FileNames::encode(path);
    Identity id;
    if (!identify(bytes, -1, &id))
        return false;
    QMutexLocker hold(&lock());
    const auto it = made().constFind(bytes);
    return it != made().constEnd() && *it == id;
}

bool remove(const QString &path)
{
    if (!isOwn(path))
        return false;
    const QByteArray bytes = FileNames::encode(path);
    struct stat st;
    bool ok = ::lstat(bytes.constData(), &st) == 0;
    if (ok && S_ISDIR(st.st_mode)) {
        const int dir = ::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ok = dir >= 0 && emptyFolder(dir);
        if (dir >= 0)
            ::close(dir);
        ok = ::rmdir(bytes.constData()) == 0 && ok;
    } else if (ok) {
        ok = ::unlink(bytes.constData()) == 0;
    }
    if (ok)
        forget(path);
    return ok;
}

bool rename(const QString &from, const QString &to, bool replace, QString *error)
{
    if (!isOwn(from))
        return fail(error, ENOENT);
    const QByteArray source = FileNames::encode(from), target = FileNames::encode(to);
    if (replace) {
        if (::rename(source.constData(), target.constData()) != 0)
            return fail(error, errno);
    } else if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
        // File systems without the flag: a second name, then the first one goes.
        if (errno != EINVAL && errno != ENOSYS)
            return fail(error, errno);
        if (::link(source.constData(), target.constData()) != 0)
            return fail(error, errno);
        ::unlink(source.constData());
    }
    QMutexLocker hold(&lock());
    made().insert(target, made().take(source));
    return true;
}

void forget(const QString &path)
{
    QMutexLocker hold(&lock());
    made().remove(FileNames::encode(path));
}

bool adopt(const QString &path)
{
    const QByteArray bytes = FileNames::encode(path);
    struct stat st;
    if (::lstat(bytes.constData(), &st) != 0 || S_ISLNK(st.st_mode))
        return false;
    remember(bytes);
    return true;
}

} // namespace OwnFiles
