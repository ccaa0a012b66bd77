#include "disc/drives.h"

#include "platform/filenames.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <cdio/cdio.h>
#include <cdio/device.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace Drives {

namespace {
Lister &lister()
{
    static Lister l;
    return l;
}

QString field(const char *text, int width)
{
    return QString::fromLatin1(text).left(width).leftJustified(width, ' ');
}
} // namespace

void setLister(Lister l)
{
    lister() = std::move(l);
}

QStringList opticalDrives()
{
    if (lister())
        return lister()();
    QStringList nodes;
    char **devices = cdio_get_devices(DRIVER_DEVICE);
    for (char **d = devices; d && *d; ++d) {
        // /dev/cdrom and friends are links to the same drive.
        const QString node = QFileInfo(QString::fromLocal8Bit(*d)).canonicalFilePath();
        if (!node.isEmpty() && !nodes.contains(node))
            nodes << node;
    }
    cdio_free_device_list(devices);
    return nodes;
}

QString identification(const QString &node)
{
    if (!QFileInfo::exists(node))
        return {};
    CdIo_t *cdio = cdio_open(FileNames::encode(node).constData(), DRIVER_DEVICE);
    if (!cdio)
        return {};
    cdio_hwinfo_t info{};
    QString id;
    if (cdio_get_hwinfo(cdio, &info))
        id = field(info.psz_vendor, 8) + field(info.psz_model, 16) + field(info.psz_revision, 4);
    cdio_destroy(cdio);
    return id;
}

QString accessProblem(const QString &node)
{
    const QByteArray path = FileNames::encode(node);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != EACCES && errno != EPERM)
        return {};
    return "You may not use the drive " + node
           + ". Ask your administrator to add you to the cdrom group "
             "(sudo adduser $USER cdrom), then log in again.";
}

QString mountPoint(const QString &node)
{
    const QString device = QFileInfo(node).canonicalFilePath();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!device.isEmpty() && QFileInfo(QString::fromLocal8Bit(volume.device())).canonicalFilePath() == device)
            return volume.rootPath();
    }
    return node;
}

} // namespace Drives
