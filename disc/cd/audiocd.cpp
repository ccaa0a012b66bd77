#include "disc/cd/audiocd.h"

#include "disc/cd/wavheader.h"

#include <QFile>
#include <QFileInfo>

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

bool CAudioCD::extractTrack(uint index, const QString &path)
{
    if (!isOpen())
        return false;
    reading = true;
    if (index >= uint(tracks.size()) || !tracks.at(index).audio)
        return false;
    const TrackInfo track = tracks.at(index);
    const quint32 full = track.sectors / blockSectors;
    const quint32 rest = track.sectors % blockSectors;

    // Unbuffered, so that a full disk or a vanished folder fails the write
    // that meets it rather than a flush nobody looks at.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    auto write = [&file](const char *data, qint64 size) { return file.write(data, size) == size; };
    // Writes into a folder removed meanwhile still succeed here; the track
    // must not be handed on as a file that isn't there.
    auto kept = [&path] { return QFileInfo::exists(path); };
    const QByteArray header = WavHeader(44100, 16, 2, track.sectors * sectorBytes).bytes();
    if (!write(header.constData(), header.size()))
        return false;

    std::vector<char> buffer(blockSectors * sectorBytes);
    for (quint32 i = 0; i < full && reading; ++i) {
        const quint32 at = track.firstSector + blockSectors * i;
        const CdDevice::ReadResult result = device->readAudio(at, blockSectors, buffer.data());
        if (result == CdDevice::ReadResult::Ok) {
            if (!write(buffer.data(), qint64(buffer.size())))
                return false;
            emit fileProgress(int(double(i) / full * 100));
            continue;
        }
        // A damaged spot, or the end of the disc, ends the track early.
        if (result == CdDevice::ReadResult::MediumError || index + 1 == uint(tracks.size())) {
            const quint32 count = rest ? rest : 1;
            return device->readAudio(at, count, buffer.data()) == CdDevice::ReadResult::Ok
                   && write(buffer.data(), count * sectorBytes) && kept();
        }
        return false;
    }
    if (reading && rest > 0) {
        const quint32 at = track.firstSector + blockSectors * full;
        if (device->readAudio(at, rest, buffer.data()) != CdDevice::ReadResult::Ok
            || !write(buffer.data(), rest * sectorBytes))
            return false;
    }
    return kept();
}
