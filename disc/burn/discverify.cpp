#include "disc/burn/discverify.h"

#include "disc/burn/cueimage.h"
#include "platform/filenames.h"
#include "platform/ownfiles.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace DiscVerify {

namespace {

const qint64 dvdSector = 2048;
const qint64 cdSector = CueImage::sectorBytes;
// Read offsets of drives stay well within five sectors (2940 samples).
const qint64 maxShift = 5 * cdSector;
const qint64 chunkBytes = 1 << 20;

// Reads up to `size` bytes, fewer only at the end or on an error.
qint64 readFully(int fd, char *into, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, into + done, size_t(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return done > 0 || got == 0 ? done : -1;
        done += got;
    }
    return done;
}

bool tell(const Progress &progress, qint64 done, qint64 total)
{
    return !progress || progress(total > 0 ? int(done * 100 / total) : 100);
}

// The disc's audio as one run of bytes from its first track on; what lies
// outside the disc reads as nothing.
class DiscBytes
{
public:
    DiscBytes(CdDevice &reader, qint64 size) : m_reader(reader), m_size(size) {}
    qint64 size() const { return m_size; }
    // The bytes of [from, from + count) clipped to the disc; false when a
    // sector can't be read.
    bool read(qint64 from, qint64 count, QByteArray *out)
    {
        const qint64 first = qMax<qint64>(from, 0), end = qMin(from + count, m_size);
        out->clear();
        if (end <= first)
            return true;
        const qint64 sector = first / cdSector;
        const qint64 sectors = (end - 1) / cdSector - sector + 1;
        QByteArray raw(sectors * cdSector, Qt::Uninitialized);
        for (qint64 at = 0; at < sectors; at += 20) {
            const quint32 n = quint32(qMin<qint64>(20, sectors - at));
            if (m_reader.readAudio(quint32(sector + at), n, raw.data() + at * cdSector) != CdDevice::ReadResult::Ok)
                return false;
        }
        *out = raw.mid(first - sector * cdSector, end - first);
        return true;
    }

private:
    CdDevice &m_reader;
    qint64 m_size;
};

// A burned track as the disc should hold it: the WAV's samples, then
// silence to a whole sector.
class TrackBytes
{
public:
    bool open(const QString &wav, QString *error)
    {
        const int fd = FileNames::openRead(wav);
        if (fd < 0 || !m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            *error = OwnFiles::errorText(errno);
            return false;
        }
        return CueImage::wavPayload(m_file, &m_payload, error);
    }
    qint64 size() const { return (m_payload.size + cdSector - 1) / cdSector * cdSector; }
    bool read(qint64 from, qint64 count, QByteArray *out)
    {
        const qint64 inFile = qBound<qint64>(0, m_payload.size - from, count);
        *out = QByteArray();
        if (inFile > 0) {
            if (!m_file.seek(m_payload.offset + from))
                return false;
            *out = m_file.read(inFile);
            if (out->size() != inFile)
                return false;
        }
        out->append(QByteArray(count - inFile, '\0'));
        return true;
    }

private:
    QFile m_file;
    CueImage::Payload m_payload;
};

// Whether a block holds sound: a window of one repeated sample would match
// at any shift.
bool hasSound(const QByteArray &block)
{
    for (qint64 i = 4; i < block.size(); i += 4) {
        if (std::memcmp(block.constData(), block.constData() + i, 4) != 0)
            return true;
    }
    return false;
}

} // namespace

namespace {

// One pass over the image and the disc; `unreadable` when the disc could
// not be read to the image's end.
QString compareOnce(const QString &image, const QString &device, const Progress &progress, bool *unreadable)
{
    const int iso = FileNames::openRead(image);
    if (iso < 0)
        return "its image can't be read: " + OwnFiles::errorText(errno);
    const int disc = FileNames::openRead(device);
    if (disc < 0) {
        const QString why = OwnFiles::errorText(errno);
        ::close(iso);
        *unreadable = true;
        return "the disc can't be read: " + why;
    }
    const qint64 total = ::lseek(iso, 0, SEEK_END);
    ::lseek(iso, 0, SEEK_SET);
    QByteArray mine(chunkBytes, Qt::Uninitialized), theirs(chunkBytes, Qt::Uninitialized);
    QCryptographicHash imageSum(QCryptographicHash::Sha256), discSum(QCryptographicHash::Sha256);
    QString answer;
    qint64 firstDifference = -1;
    for (qint64 done = 0; done < total && answer.isEmpty();) {
        const qint64 want = qMin(chunkBytes, total - done);
        if (readFully(iso, mine.data(), want) != want) {
            answer = "its image can't be read";
            break;
        }
        const qint64 read = readFully(disc, theirs.data(), want);
        if (read != want) {
            *unreadable = true;
            answer = QString("the disc can't be read at sector %1").arg((done + qMax<qint64>(read, 0)) / dvdSector);
            break;
        }
        imageSum.addData(QByteArrayView(mine.constData(), want));
        discSum.addData(QByteArrayView(theirs.constData(), want));
        for (qint64 s = 0; firstDifference < 0 && s < want; s += dvdSector) {
            if (std::memcmp(mine.constData() + s, theirs.constData() + s, size_t(qMin(dvdSector, want - s))) != 0)
                firstDifference = (done + s) / dvdSector;
        }
        done += want;
        if (!tell(progress, done, total))
            answer = "stopped";
    }
    ::close(iso);
    ::close(disc);
    if (answer.isEmpty() && imageSum.result() != discSum.result())
        answer = QString("the disc differs from its image at sector %1").arg(qMax<qint64>(firstDifference, 0));
    return answer;
}

} // namespace

QString compareImage(const QString &image, const QString &device, int readyMs, const Progress &progress)
{
    // A drive that has just closed a disc reloads it, and until then may not
    // read it, or only to its old size.
    const QDeadlineTimer ready(readyMs);
    for (;;) {
        bool unreadable = false;
        const QString answer = compareOnce(image, device, progress, &unreadable);
        if (!unreadable || ready.hasExpired())
            return answer;
        QThread::msleep(1000);
    }
}

QString compareTracks(CdDevice &reader, const QString &device, const QStringList &wavFiles, int readyMs,
                      const Progress &progress)
{
    CdToc toc;
    const QDeadlineTimer ready(readyMs);
    while (!reader.open(device) || !reader.readToc(toc)) {
        if (ready.hasExpired())
            return "the disc can't be read";
        QThread::msleep(500);
    }
    const int count = toc.lastTrack - toc.firstTrack + 1;
    if (count != wavFiles.size())
        return QString("the disc has %1 tracks, not %2").arg(count).arg(wavFiles.size());
    QList<qint64> starts;
    for (const TocEntry &e : toc.entries)
        starts << (qint64(e.minute) * 4500 + e.second * 75 + e.frame - 150) * cdSector;
    DiscBytes disc(reader, starts.last());

    std::vector<TrackBytes> tracks(size_t(wavFiles.size()));
    qint64 total = 0;
    for (int t = 0; t < wavFiles.size(); ++t) {
        QString error;
        if (!tracks[size_t(t)].open(wavFiles.at(t), &error))
            return QString("track %1 can't be compared: %2").arg(t + 1).arg(error);
        total += tracks[size_t(t)].size();
    }

    // The read offset, from the first sound far enough from the disc's ends
    // to be found either way: the smallest shift at which the disc holds it.
    qint64 shift = 0;
    bool tried = false;
    for (int t = 0; t < count && !tried; ++t) {
        TrackBytes &track = tracks[size_t(t)];
        QByteArray window, around;
        for (qint64 block = 0; block < track.size() && !tried; block += cdSector) {
            const qint64 at = starts.at(t) + block;
            if (at < maxShift)
                continue;
            if (at + cdSector + maxShift > disc.size() || !track.read(block, cdSector, &window))
                break;
            if (!hasSound(window))
                continue;
            if (!disc.read(at - maxShift, 2 * maxShift + cdSector, &around) || around.size() != 2 * maxShift + cdSector)
                return QString("track %1 can't be read").arg(t + 1);
            const auto holds = [&](qint64 s) {
                return std::memcmp(around.constData() + maxShift + s, window.constData(), size_t(cdSector)) == 0;
            };
            // A sound the disc doesn't hold near its place: the comparison
            // below names the track.
            tried = true;
            for (qint64 k = 0; k <= maxShift; k += 4) {
                if (holds(k) || holds(-k)) {
                    shift = holds(k) ? k : -k;
                    break;
                }
            }
        }
    }

    qint64 done = 0;
    for (int t = 0; t < count; ++t) {
        TrackBytes &track = tracks[size_t(t)];
        const qint64 from = starts.at(t) + shift;
        // What the shift pushes off the disc can't be read back.
        const qint64 front = qMax<qint64>(0, -from);
        const qint64 back = qMax<qint64>(0, from + track.size() - disc.size());
        QCryptographicHash burned(QCryptographicHash::Sha256), read(QCryptographicHash::Sha256);
        QByteArray mine, theirs;
        for (qint64 at = front; at < track.size() - back; at += 20 * cdSector) {
            const qint64 n = qMin(20 * cdSector, track.size() - back - at);
            if (!track.read(at, n, &mine))
                return QString("track %1 can't be compared: its WAV file can't be read").arg(t + 1);
            if (!disc.read(from + at, n, &theirs) || theirs.size() != n)
                return QString("track %1 can't be read").arg(t + 1);
            burned.addData(mine);
            read.addData(theirs);
            if (!tell(progress, done + at, total))
                return "stopped";
        }
        if (burned.result() != read.result())
            return QString("track %1 differs").arg(t + 1);
        done += track.size();
    }
    return {};
}

} // namespace DiscVerify
