#include "disc/cd/securereader.h"

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <malloc.h>

#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

// One request to the drive, as libcdio's own drives ask (about 64 KiB).
constexpr long sectorsAtOnce = 26;
// Paranoia verifies a sector against reads that go on past it, and can't at
// the ends of its range: the range reaches this far into the neighbours.
constexpr qint64 margin = 40;
constexpr long wordsPerSector = CDIO_CD_FRAMESIZE_RAW / 2;

// The reader whose run paranoia's callback (which carries no context) reports to.
thread_local SecureReader *reporting = nullptr;

} // namespace

// Paranoia's drive record, its reads sent to our device.
struct SecureDrive {
    cdrom_drive_t drive{};
    SecureReader *reader = nullptr;
};

SecureReader::SecureReader(CdDevice &device, quint32 discSectors, int retries)
    : m_device(device)
    , m_discSectors(discSectors)
    , m_retries(retries)
    , m_drive(std::make_unique<SecureDrive>())
{
    // Paranoia allocates and frees half a megabyte for every block it
    // reads; mapped afresh each time, the page faults cost more than the
    // checking itself (twice the time of a secure rip). Kept on the heap,
    // they are reused.
    static std::once_flag heapTuned;
    std::call_once(heapTuned, [] {
        mallopt(M_MMAP_THRESHOLD, 4 << 20);
        mallopt(M_TRIM_THRESHOLD, 32 << 20);
    });
    cdrom_drive_t &d = m_drive->drive;
    m_drive->reader = this;
    d.opened = 1;
    d.nsectors = int(sectorsAtOnce);
    // Little-endian samples, as every MMC drive and image gives them.
    d.bigendianp = 0;
    d.messagedest = CDDA_MESSAGE_FORGETIT;
    d.errordest = CDDA_MESSAGE_FORGETIT;
    // The whole disc as one audio track; each run narrows the range.
    d.tracks = 1;
    d.disc_toc[0].bTrack = 1;
    d.disc_toc[0].dwStartSector = 0;
    d.disc_toc[1].bTrack = CDIO_CDROM_LEADOUT_TRACK;
    d.disc_toc[1].dwStartSector = lsn_t(discSectors);
    d.read_audio = [](cdrom_drive_t *drive, void *buffer, lsn_t begin, long sectors) {
        return reinterpret_cast<SecureDrive *>(drive)->reader->read(buffer, begin, sectors);
    };
}

SecureReader::~SecureReader()
{
    if (m_paranoia)
        cdio_paranoia_free(static_cast<cdrom_paranoia_t *>(m_paranoia));
}

void SecureReader::start(quint32 first, quint32 count)
{
    if (m_paranoia)
        cdio_paranoia_free(static_cast<cdrom_paranoia_t *>(m_paranoia));
    auto *p = cdio_paranoia_init(&m_drive->drive);
    // Full checking, but a sector that keeps failing is given up on after
    // the retries rather than read for ever.
    cdio_paranoia_modeset(p, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    const qint64 from = std::max<qint64>(0, qint64(first) - margin);
    const qint64 to = std::min<qint64>(m_discSectors, qint64(first) + count + margin);
    cdio_paranoia_set_range(p, long(from), long(to) - 1);
    m_paranoia = p;
    m_first = first;
    m_end = qint64(first) + count;
    m_before = int(first - from);
    m_lastSkipped = -1;
    m_rereads = m_unrecoverable = 0;
}

const char *SecureReader::next()
{
    reporting = this;
    for (; m_before > 0; --m_before) {
        if (!cdio_paranoia_read_limited(static_cast<cdrom_paranoia_t *>(m_paranoia),
                                        [](long position, paranoia_cb_mode_t event) { heard(position, int(event)); },
                                        m_retries)) {
            reporting = nullptr;
            return nullptr;
        }
    }
    const int16_t *sector = cdio_paranoia_read_limited(static_cast<cdrom_paranoia_t *>(m_paranoia),
                                                       [](long position, paranoia_cb_mode_t event) {
                                                           heard(position, int(event));
                                                       },
                                                       m_retries);
    reporting = nullptr;
    return reinterpret_cast<const char *>(sector);
}

void SecureReader::heard(long position, int event)
{
    SecureReader *self = reporting;
    if (!self)
        return;
    const qint64 at = position / wordsPerSector;
    switch (paranoia_cb_mode_t(event)) {
    case PARANOIA_CB_READERR:
    case PARANOIA_CB_FIXUP_EDGE:
    case PARANOIA_CB_FIXUP_ATOM:
    case PARANOIA_CB_FIXUP_DROPPED:
    case PARANOIA_CB_FIXUP_DUPED:
    case PARANOIA_CB_DRIFT:
        if (at >= self->m_first - margin / 2 && at < self->m_end + margin / 2)
            ++self->m_rereads;
        break;
    case PARANOIA_CB_SKIP: {
        const qint64 sector = at;
        if (sector < self->m_first || sector >= self->m_end)
            break;
        if (sector != self->m_lastSkipped)
            ++self->m_unrecoverable;
        self->m_lastSkipped = sector;
        break;
    }
    default:
        break;
    }
}

// A failed request is asked again sector by sector, so that a drive that
// can't read one sector still gives the ones before it, as drives do.
long SecureReader::read(void *buffer, qint64 sector, long count)
{
    if (sector < 0 || count <= 0 || sector >= m_discSectors)
        return -1;
    count = long(std::min<qint64>(count, m_discSectors - sector));
    if (!buffer) {
        // A read only to move the drive off what its cache holds.
        std::vector<char> scratch(CDIO_CD_FRAMESIZE_RAW);
        m_device.readAudio(quint32(sector), 1, scratch.data());
        return 1;
    }
    char *out = static_cast<char *>(buffer);
    if (m_device.readAudio(quint32(sector), quint32(count), out) == CdDevice::ReadResult::Ok)
        return count;
    long done = 0;
    while (done < count
           && m_device.readAudio(quint32(sector + done), 1, out + done * CDIO_CD_FRAMESIZE_RAW)
                  == CdDevice::ReadResult::Ok)
        ++done;
    return done > 0 ? done : -1;
}
