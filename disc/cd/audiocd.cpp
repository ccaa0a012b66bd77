#include "disc/cd/audiocd.h"

#include "disc/cd/securereader.h"
#include "disc/cd/trackchecksum.h"
#include "disc/cd/wavheader.h"

#include "platform/ownfiles.h"

#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
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
    m_toc = toc;
    m_text = device->readCdText();
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
    m_toc = {};
    m_text = {};
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

quint32 CAudioCD::audioEnd() const
{
    quint32 end = 0;
    for (const TrackInfo &track : tracks) {
        if (track.audio)
            end = std::max(end, track.firstSector + track.sectors);
    }
    return end;
}

// One read of a track, its samples shifted by the offset, handed to `sink`
// (nothing when it is null) and summed.
struct CAudioCD::Pass {
    TrackInfo track;
    bool lastTrack = false;
    RipOptions options;
    std::function<bool(const char *, qint64)> sink;
    TrackChecksum *sum = nullptr;
    // Progress of this pass is mapped onto [from, from + span).
    int from = 0;
    int span = 100;
    SecureReader *secure = nullptr;
    QString why;
    bool writeFailed = false;
};

bool CAudioCD::readPass(Pass &pass)
{
    const TrackInfo &track = pass.track;
    // The first sample wanted and the sector it lies in; an offset that is
    // no whole number of sectors needs one sector more.
    const qint64 firstSample = qint64(track.firstSector) * 588 + pass.options.offset;
    const qint64 first = firstSample >= 0 ? firstSample / 588 : -((-firstSample + 587) / 588);
    qint64 skip = (firstSample - first * 588) * 4;
    const quint32 count = track.sectors + (skip ? 1 : 0);
    qint64 remaining = qint64(track.sectors) * sectorBytes;
    const quint32 full = count / blockSectors;
    const quint32 rest = count % blockSectors;
    const qint64 end = audioEnd();
    const qint64 readFrom = std::clamp<qint64>(first, 0, end);
    const qint64 readTo = std::clamp<qint64>(first + count, 0, end);
    if (pass.secure && readTo > readFrom)
        pass.secure->start(quint32(readFrom), quint32(readTo - readFrom));

    // `n` sectors from `at`, zeros where the disc's audio is not.
    std::vector<char> buffer((blockSectors + 1) * sectorBytes);
    auto fetch = [&](qint64 at, quint32 n) {
        std::fill(buffer.begin(), buffer.begin() + qint64(n) * sectorBytes, 0);
        const qint64 from = std::clamp<qint64>(at, 0, end), to = std::clamp<qint64>(at + n, 0, end);
        if (to <= from)
            return CdDevice::ReadResult::Ok;
        char *into = buffer.data() + (from - at) * sectorBytes;
        if (!pass.secure)
            return device->readAudio(quint32(from), quint32(to - from), into);
        for (qint64 s = from; s < to; ++s, into += sectorBytes) {
            const char *sector = pass.secure->next();
            if (!sector)
                return CdDevice::ReadResult::Failed;
            std::copy(sector, sector + sectorBytes, into);
        }
        return CdDevice::ReadResult::Ok;
    };
    // Hands on what was read, less the offset's part and what is past the track.
    auto emitRead = [&](quint32 n) {
        const qint64 size = std::min<qint64>(qint64(n) * sectorBytes - skip, remaining);
        const char *data = buffer.data() + skip;
        skip = 0;
        if (size <= 0)
            return true;
        remaining -= size;
        pass.sum->add(data, size);
        if (pass.sink && !pass.sink(data, size)) {
            pass.writeFailed = true;
            return false;
        }
        return true;
    };
    auto unreadable = [&pass] {
        pass.why = "the disc can't be read there";
        return false;
    };
    for (quint32 i = 0; i < full && reading; ++i) {
        const qint64 at = first + qint64(blockSectors) * i;
        const CdDevice::ReadResult result = fetch(at, blockSectors);
        if (result == CdDevice::ReadResult::Ok) {
            if (!emitRead(blockSectors))
                return false;
            emit fileProgress(pass.from + int(double(i) / full * pass.span));
            continue;
        }
        // A damaged spot, or the end of the disc, ends the track early.
        if (result == CdDevice::ReadResult::MediumError || pass.lastTrack) {
            const quint32 n = rest ? rest : 1;
            if (fetch(at, n) != CdDevice::ReadResult::Ok)
                return unreadable();
            return emitRead(n);
        }
        return unreadable();
    }
    if (reading && rest > 0) {
        if (fetch(first + qint64(blockSectors) * full, rest) != CdDevice::ReadResult::Ok)
            return unreadable();
        return emitRead(rest);
    }
    return true;
}

bool CAudioCD::extractTrack(uint index, const QString &path, QString *error)
{
    TrackRip rip;
    return extractTrack(index, path, RipOptions(), &rip, error);
}

bool CAudioCD::extractTrack(uint index, const QString &path, const RipOptions &options, TrackRip *rip,
                            QString *error)
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
    rip->number = int(index) + 1;
    rip->file = path;
    rip->firstSector = track.firstSector;
    rip->lastSector = track.firstSector + track.sectors - 1;

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
    qint64 written = 0;
    auto write = [fd, &written](const char *data, qint64 size) {
        written += size;
        return OwnFiles::writeAll(fd, data, size);
    };
    const qint64 trackBytes = qint64(track.sectors) * sectorBytes;
    const QByteArray header = WavHeader(44100, 16, 2, quint32(trackBytes)).bytes();
    if (!OwnFiles::writeAll(fd, header.constData(), header.size()))
        return fail(OwnFiles::errorText(errno));

    std::unique_ptr<SecureReader> secure;
    if (options.mode == RipOptions::Mode::Secure)
        secure = std::make_unique<SecureReader>(*device, audioEnd(), options.retries);
    const bool firstAudio = index == 0 || !tracks.at(0).audio;
    bool lastAudio = true;
    for (int k = int(index) + 1; k < tracks.size(); ++k)
        lastAudio = lastAudio && !tracks.at(k).audio;
    const quint64 samples = quint64(track.sectors) * 588;
    // Test and copy: a first read only summed, the second one written.
    std::optional<TrackChecksum> tested;
    if (options.testAndCopy) {
        tested.emplace(samples, firstAudio, lastAudio);
        Pass test{track, index + 1 == uint(tracks.size()), options, {}, &*tested, 0, 50, secure.get(), {}, false};
        if (!readPass(test))
            return fail(test.why);
        if (secure) {
            rip->rereads += secure->rereads();
            rip->unrecoverable += secure->unrecoverable();
        }
    }
    TrackChecksum sum(samples, firstAudio, lastAudio);
    Pass copy{track, index + 1 == uint(tracks.size()), options, write, &sum, tested ? 50 : 0, tested ? 50 : 100,
              secure.get(), {}, false};
    const bool read = readPass(copy);
    if (copy.writeFailed)
        return fail(OwnFiles::errorText(errno));
    if (!read)
        return fail(copy.why);
    if (secure) {
        rip->rereads += secure->rereads();
        rip->unrecoverable += secure->unrecoverable();
    }
    // A damaged spot ended the track early: the header tells what the file
    // holds, and the sectors never read count against the track.
    if (reading && written < trackBytes) {
        const QByteArray shorter = WavHeader(44100, 16, 2, quint32(written)).bytes();
        if (::pwrite(fd, shorter.constData(), size_t(shorter.size()), 0) != shorter.size())
            return fail(OwnFiles::errorText(errno));
        rip->unrecoverable += int((trackBytes - written + sectorBytes - 1) / sectorBytes);
    }
    rip->crc32 = sum.crc32();
    rip->accurateRipV1 = sum.accurateRipV1();
    rip->accurateRipV2 = sum.accurateRipV2();
    rip->mismatch = tested && reading && tested->crc32() != sum.crc32();
    // Writes into a folder removed meanwhile still succeed; the track must
    // not be handed on as a file that isn't there.
    return OwnFiles::isOwn(path) || fail("the file was removed while it was written");
}
