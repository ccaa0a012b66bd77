#include "disc/cd/audiocd.h"

#include "disc/cd/wavheader.h"

#include "platform/ownfiles.h"

#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

#include <vector>

namespace {

quint32 address(const TocEntry &entry)
{
    const quint32 frames = entry.minute * 4500u + entry.second * 75u + entry.frame;
    return frames > CAudioCD::addressOffset ? frames - CAudioCD::addressOffset : 0;
}

} // namespace

CAudioCD::CAudioCD(const QString &drive, std::unique_ptr<CdDevice> dev)
    : device(dev ? std::move(dev) : makeLibcdioDevice())
{
    if (!drive.isEmpty())
        openDrive(drive);
}

CAudioCD::~CAudioCD()
{
    closeDrive();
}

bool CAudioCD::openDrive(const QString &drive)
{
    closeDrive();
    if (!device->open(drive))
        return false;
    CdToc toc;
    if (!lockTray() || !device->readToc(toc)) {
        unlockTray();
        device->close();
        return false;
    }
    const int count = toc.lastTrack - toc.firstTrack + 1;
    for (int k = 0; k < count && k + 1 < toc.entries.size(); ++k) {
        const quint32 first = address(toc.entries.at(k));
        const quint32 next = address(toc.entries.at(k + 1));
        if (next < first)
            break;
        tracks << TrackInfo{first, next - first, !toc.entries.at(k).data};
    }
    return !tracks.isEmpty();
}

void CAudioCD::closeDrive()
{
    if (!isOpen())
        return;
    unlockTray();
    tracks.clear();
    device->close();
}

bool CAudioCD::isOpen() const
{
    return device->isOpen();
}

int CAudioCD::trackCount() const
{
    return isOpen() ? int(tracks.size()) : -1;
}

int CAudioCD::trackSeconds(uint index) const
{
    return isOpen() && index < uint(tracks.size()) ? int(tracks.at(index).sectors / sectorsPerSecond) : -1;
}

int CAudioCD::trackBytes(uint index) const
{
    return isOpen() && index < uint(tracks.size()) ? int(tracks.at(index).sectors * sectorBytes) : -1;
}

bool CAudioCD::isAudioTrack(uint index) const
{
    return isOpen() && index < uint(tracks.size()) && tracks.at(index).audio;
}

bool CAudioCD::lockTray()
{
    return isOpen() && device->setRemovalPrevented(true);
}

bool CAudioCD::unlockTray()
{
    return isOpen() && device->setRemovalPrevented(false);
}

bool CAudioCD::ejectTray()
{
    return isOpen() && device->eject();
}

bool CAudioCD::loadTray()
{
    return isOpen() && device->load();
}

bool CAudioCD::isMediaPresent(const QString &drive)
{
    if (drive.isEmpty())
        return isOpen() && device->mediaPresent({});
    return device->mediaPresent(drive);
}

bool CAudioCD::readTrack(uint index, QByteArray &buffer)
{
    if (!isAudioTrack(index)) {
        buffer.clear();
        return false;
    }
    const TrackInfo track = tracks.at(index);
    buffer.resize(qsizetype(track.sectors) * sectorBytes);
    for (quint32 done = 0; done < track.sectors; done += blockSectors) {
        const quint32 count = qMin(blockSectors, track.sectors - done);
        if (device->readAudio(track.firstSector + done, count, buffer.data() + qsizetype(done) * sectorBytes)
            != CdDevice::ReadResult::Ok) {
            buffer.clear();
            return false;
        }
    }
    return true;
}

bool CAudioCD::holdsAudio() const
{
    for (const TrackInfo &track : tracks) {
        if (track.audio && track.sectors > 0)
            return true;
    }
    return false;
}

QString CAudioCD::imageProblem(const QString &image) const
{
    if (!isOpen()) {
        const QString cause = device->openProblem();
        return image + " cannot be read as a disc image" + (cause.isEmpty() ? "." : ": " + cause + ".");
    }
    return holdsAudio() ? QString() : "The disc image " + image + " holds no audio tracks.";
}

bool CAudioCD::extractTrack(uint index, const QString &path, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!isOpen())
        return fail("the drive is not open");
    reading = true;
    if (index >= uint(tracks.size()))
        return fail("the disc has no such track");
    const TrackInfo track = tracks.at(index);
    if (!track.audio)
        return fail("the track holds data, not audio");
    // An image whose data ends before its tracks do (a .bin of a few bytes).
    if (track.sectors == 0)
        return fail("the track holds no audio");
    const quint32 full = track.sectors / blockSectors;
    const quint32 rest = track.sectors % blockSectors;

    // A new file of our own, never one that is there already or a link; the
    // writes are unbuffered, so that a full disk fails the write that meets it.
    QString why;
    const int fd = OwnFiles::createFile(path, &why);
    if (fd < 0)
        return fail(errno == EEXIST ? QFileInfo(path).fileName() + " already exists" : why);
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    auto write = [fd](const char *data, qint64 size) { return OwnFiles::writeAll(fd, data, size); };
    auto writeFailed = [&fail] { return fail(OwnFiles::errorText(errno)); };
    // Writes into a folder removed meanwhile still succeed; the track must
    // not be handed on as a file that isn't there.
    auto kept = [&path, &fail] { return OwnFiles::isOwn(path) || fail("the file was removed while it was written"); };
    auto unreadable = [&fail] { return fail("the disc can't be read there"); };
    const QByteArray header = WavHeader(44100, 16, 2, track.sectors * sectorBytes).bytes();
    if (!write(header.constData(), header.size()))
        return writeFailed();

    std::vector<char> buffer(blockSectors * sectorBytes);
    for (quint32 i = 0; i < full && reading; ++i) {
        const quint32 at = track.firstSector + blockSectors * i;
        const CdDevice::ReadResult result = device->readAudio(at, blockSectors, buffer.data());
        if (result == CdDevice::ReadResult::Ok) {
            if (!write(buffer.data(), qint64(buffer.size())))
                return writeFailed();
            emit fileProgress(int(double(i) / full * 100));
            continue;
        }
        // A damaged spot, or the end of the disc, ends the track early.
        if (result == CdDevice::ReadResult::MediumError || index + 1 == uint(tracks.size())) {
            const quint32 count = rest ? rest : 1;
            if (device->readAudio(at, count, buffer.data()) != CdDevice::ReadResult::Ok)
                return unreadable();
            return write(buffer.data(), count * sectorBytes) ? kept() : writeFailed();
        }
        return unreadable();
    }
    if (reading && rest > 0) {
        const quint32 at = track.firstSector + blockSectors * full;
        if (device->readAudio(at, rest, buffer.data()) != CdDevice::ReadResult::Ok)
            return unreadable();
        if (!write(buffer.data(), rest * sectorBytes))
            return writeFailed();
    }
    return kept();
}
