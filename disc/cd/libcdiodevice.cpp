#include "disc/cd/cddevice.h"
#include "disc/cd/discname.h"
#include "platform/filenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cdio/iso9660.h>
#include <cdio/mmc.h>
#include <cdio/mmc_hl_cmds.h>
#include <cdio/mmc_ll_cmds.h>

#include <cstdlib>
#include <mutex>

namespace {

constexpr int mediumErrorSenseKey = 3;

// libcdio tells why an image won't open only in its log, and drops what is
// below its level before any handler hears it. What it says while a thread
// opens one is kept for that thread; the rest goes on as the level wants.
thread_local QStringList *heard = nullptr;
cdio_log_handler_t passOn = nullptr;
std::mutex hearingLock;
int hearers = 0;
cdio_log_level_t wanted = CDIO_LOG_WARN;

void listen(cdio_log_level_t level, const char *message)
{
    if (heard)
        *heard << QString::fromLocal8Bit(message).trimmed();
    else if (passOn && level >= wanted)
        passOn(level, message);
}

// Keeps what libcdio says while it lives in `into`, unless that is null.
struct Hearing {
    QStringList *into;
    explicit Hearing(QStringList *list) : into(list)
    {
        if (!into)
            return;
        const std::lock_guard<std::mutex> hold(hearingLock);
        if (hearers++ == 0) {
            if (!passOn)
                passOn = cdio_log_set_handler(listen);
            wanted = cdio_loglevel_default;
            cdio_loglevel_default = CDIO_LOG_INFO;
        }
        heard = into;
    }
    ~Hearing()
    {
        if (!into)
            return;
        heard = nullptr;
        const std::lock_guard<std::mutex> hold(hearingLock);
        if (--hearers == 0)
            cdio_loglevel_default = wanted;
    }
};

// libcdio looks for the files a cdrdao table names relative to the working
// folder; cdrdao writes them relative to the table. A copy with absolute
// names is read instead.
CdIo_t *openToc(const QString &toc, QStringList *said)
{
    QFile in(toc);
    QTemporaryDir copyDir;
    if (!in.open(QIODevice::ReadOnly) || !copyDir.isValid())
        return nullptr;
    QString text = QString::fromLocal8Bit(in.readAll());
    const QDir folder = QFileInfo(toc).absoluteDir();
    static const QRegularExpression name(R"re(\b((?:AUDIO|DATA)?FILE\s+)"([^"]+)")re");
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &m : name.globalMatch(text)) {
        out += text.mid(from, m.capturedStart() - from) + m.captured(1) + '"'
               + QDir::cleanPath(folder.absoluteFilePath(m.captured(2))) + '"';
        from = m.capturedEnd();
    }
    out += text.mid(from);
    QFile copy(copyDir.filePath("image.toc"));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(out.toLocal8Bit()) < 0)
        return nullptr;
    copy.close();
    const QByteArray path = FileNames::encode(copy.fileName());
    const Hearing hearing(said);
    return cdio_is_tocfile(path.constData()) ? cdio_open(path.constData(), DRIVER_CDRDAO) : nullptr;
}

// Image drivers first: libcdio's own guess would also try the device driver
// on a plain file. A node is opened with the device driver only. What
// libcdio says of the image it opens goes to `said`.
CdIo_t *openSource(const QString &id, QStringList *said = nullptr)
{
    if (id.isEmpty() || !FileNames::exists(id))
        return nullptr;
    const QByteArray path = FileNames::encode(id);
    if (!FileNames::isFile(id))
        return cdio_open(path.constData(), DRIVER_DEVICE);
    if (id.endsWith(".toc", Qt::CaseInsensitive))
        return openToc(id, said);
    if (cdio_is_nrg(path.constData())) {
        const Hearing hearing(said);
        return cdio_open(path.constData(), DRIVER_NRG);
    }
    if (id.endsWith(".cue", Qt::CaseInsensitive) || id.endsWith(".bin", Qt::CaseInsensitive)) {
        const Hearing hearing(said);
        return cdio_open(path.constData(), DRIVER_BINCUE);
    }
    return nullptr;
}

// The cause of a failed open, in words for the user.
QString failedOpen(const QString &id, const QStringList &said)
{
    for (QString line : said) {
        if (line.startsWith(id))
            line = line.mid(id.size()).trimmed();
        line.remove("warning: ");
        // Said of a missing file, which is told better below.
        if (line.isEmpty() || line == "init failed" || line.startsWith("could not retrieve file info"))
            continue;
        if (line.size() > 1 && line.at(1).isLower())
            line[0] = line.at(0).toLower();
        return line;
    }
    // libcdio reads the samples from the .bin of the sheet's own name,
    // whatever the sheet says.
    if (id.endsWith(".cue", Qt::CaseInsensitive)) {
        const QString bin = id.chopped(3) + (id.endsWith(".cue") ? "bin" : "BIN");
        if (!FileNames::exists(bin))
            return "its .bin file must lie beside it under the same name";
    }
    return {};
}

// libcdio hands out CD-TEXT as UTF-8 made from Latin-1, which a disc's
// text is; a cue sheet written in UTF-8 would come out twice encoded.
QString cdTextString(const char *text)
{
    const QString read = QString::fromUtf8(text);
    bool wide = false;
    for (const QChar c : read) {
        if (c.unicode() > 0xff)
            return read;
        wide = wide || c.unicode() > 0x7f;
    }
    if (!wide)
        return read;
    const QString utf8 = QString::fromUtf8(read.toLatin1());
    return utf8.contains(QChar::ReplacementCharacter) ? read : utf8;
}

// The CD-TEXT file a cue sheet names (CDTEXTFILE), read when libcdio could
// not: it takes only bare packs, where cdrecord's files open with a 4-byte
// header. Null without one; the caller destroys it.
cdtext_t *cueCdTextFile(const QString &cue)
{
    QFile sheet(cue);
    if (!sheet.open(QIODevice::ReadOnly) || sheet.size() > 1 << 20)
        return nullptr;
    static const QRegularExpression line(R"re((?:^|\n)\s*CDTEXTFILE\s+(?:"([^"]+)"|(\S+)))re");
    const QRegularExpressionMatch m = line.match(QString::fromLocal8Bit(sheet.readAll()));
    if (!m.hasMatch())
        return nullptr;
    const QString name = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    QFile file(QFileInfo(cue).absoluteDir().absoluteFilePath(name));
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1 << 16)
        return nullptr;
    QByteArray packs = file.readAll();
    constexpr int packSize = 18;
    if (packs.size() % packSize == 4 && (uchar(packs[0]) << 8 | uchar(packs[1])) == packs.size() - 2)
        packs.remove(0, 4);
    if (packs.size() % packSize == 1 && packs.endsWith('\0'))
        packs.chop(1);
    cdtext_t *text = cdtext_init();
    if (packs.isEmpty() || cdtext_data_init(text, reinterpret_cast<uint8_t *>(packs.data()), size_t(packs.size())) != 0) {
        cdtext_destroy(text);
        return nullptr;
    }
    return text;
}

// The disc's CD-TEXT, else that of the file its cue sheet names; `own` is
// set when the caller must destroy what it gets.
const cdtext_t *discCdText(CdIo_t *cdio, const QString &id, cdtext_t **own)
{
    *own = nullptr;
    const cdtext_t *text = cdio_get_cdtext(cdio);
    if ((!text || !cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0)) && cdio_get_driver_id(cdio) == DRIVER_BINCUE
        && id.endsWith(".cue", Qt::CaseInsensitive)) {
        if ((*own = cueCdTextFile(id)))
            text = *own;
    }
    return text;
}

bool isImage(const CdIo_t *cdio)
{
    const driver_id_t driver = cdio_get_driver_id(cdio);
    return driver == DRIVER_CDRDAO || driver == DRIVER_BINCUE || driver == DRIVER_NRG;
}

class LibcdioDevice : public CdDevice
{
public:
    ~LibcdioDevice() override { close(); }

    bool open(const QString &id) override
    {
        close();
        QStringList said;
        m_id = id;
        m_cdio = openSource(id, &said);
        m_problem = m_cdio ? QString() : failedOpen(id, said);
        return m_cdio;
    }

    QString openProblem() const override { return m_problem; }

    void close() override
    {
        if (m_cdio)
            cdio_destroy(m_cdio);
        m_cdio = nullptr;
    }

    bool isOpen() const override { return m_cdio; }

    bool setRemovalPrevented(bool prevented) override
    {
        if (!m_cdio)
            return false;
        // An image has no tray to hold.
        if (isImage(m_cdio))
            return true;
        return mmc_prevent_allow_medium_removal(m_cdio, false, prevented, 0) == DRIVER_OP_SUCCESS;
    }

    bool readToc(CdToc &toc) override
    {
        if (!m_cdio)
            return false;
        const track_t first = cdio_get_first_track_num(m_cdio);
        const track_t last = cdio_get_last_track_num(m_cdio);
        if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK || last < first)
            return false;
        toc = CdToc{first, last, {}};
        for (int t = first; t <= last + 1; ++t) {
            const track_t track = t > last ? track_t(CDIO_CDROM_LEADOUT_TRACK) : track_t(t);
            const lba_t lba = cdio_get_track_lba(m_cdio, track);
            if (lba == CDIO_INVALID_LBA || lba < 0)
                return false;
            TocEntry entry;
            entry.minute = quint8(qMin(lba / 4500, 255));
            entry.second = quint8(lba / 75 % 60);
            entry.frame = quint8(lba % 75);
            entry.data = t <= last && cdio_get_track_format(m_cdio, track) != TRACK_FORMAT_AUDIO;
            toc.entries << entry;
        }
        return true;
    }

    CdText readCdText() override
    {
        CdText read;
        if (!m_cdio)
            return read;
        const track_t first = cdio_get_first_track_num(m_cdio);
        const track_t last = cdio_get_last_track_num(m_cdio);
        cdtext_t *own = nullptr;
        const cdtext_t *text = discCdText(m_cdio, m_id, &own);
        const auto destroy = qScopeGuard([own] {
            if (own)
                cdtext_destroy(own);
        });
        if (!text || first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK)
            return read;
        auto field = [text](cdtext_field_t which, int track) {
            return cdTextString(cdtext_get_const(text, which, track_t(track))).trimmed();
        };
        read.title = field(CDTEXT_FIELD_TITLE, 0);
        read.performer = field(CDTEXT_FIELD_PERFORMER, 0);
        for (int t = first; t <= last; ++t) {
            read.trackTitles << field(CDTEXT_FIELD_TITLE, t);
            read.trackPerformers << field(CDTEXT_FIELD_PERFORMER, t);
        }
        return read;
    }

    ReadResult readAudio(quint32 sector, quint32 count, char *buffer) override
    {
        if (!m_cdio)
            return ReadResult::Failed;
        if (cdio_read_audio_sectors(m_cdio, buffer, lsn_t(sector), count) == DRIVER_OP_SUCCESS)
            return ReadResult::Ok;
        if (isImage(m_cdio))
            return ReadResult::Failed;
        cdio_mmc_request_sense_t *sense = nullptr;
        const int length = mmc_last_cmd_sense(m_cdio, &sense);
        const bool medium = length > 2 && sense && sense->sense_key == mediumErrorSenseKey;
        cdio_free(sense);
        return medium ? ReadResult::MediumError : ReadResult::Failed;
    }

    // On the open handle: libcdio's own eject would release it.
    bool eject() override
    {
        return m_cdio && !isImage(m_cdio) && mmc_eject_media(m_cdio) == DRIVER_OP_SUCCESS;
    }

    bool load() override
    {
        return m_cdio && !isImage(m_cdio) && mmc_close_tray(m_cdio) == DRIVER_OP_SUCCESS;
    }

    bool mediaPresent(const QString &id) override
    {
        if (id.isEmpty())
            return m_cdio && ready(m_cdio);
        CdIo_t *other = openSource(id);
        const bool present = other && ready(other);
        if (other)
            cdio_destroy(other);
        return present;
    }

private:
    static bool ready(CdIo_t *cdio)
    {
        return isImage(cdio) || mmc_test_unit_ready(cdio, 0) == DRIVER_OP_SUCCESS;
    }

    CdIo_t *m_cdio = nullptr;
    QString m_id;
    QString m_problem;
};

} // namespace

std::unique_ptr<CdDevice> makeLibcdioDevice()
{
    return std::make_unique<LibcdioDevice>();
}

QString readDiscName(const QString &id)
{
    CdIo_t *cdio = openSource(id);
    if (!cdio)
        return {};
    QString album;
    cdtext_t *own = nullptr;
    if (const cdtext_t *text = discCdText(cdio, id, &own))
        album = cdTextString(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0));
    if (own)
        cdtext_destroy(own);
    // The file system starts with the first data track: track 1 of a data
    // disc, the last one of an enhanced CD.
    QString volume;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t last = cdio_get_last_track_num(cdio);
    for (int t = first; album.isEmpty() && first != CDIO_INVALID_TRACK && t <= last; ++t) {
        if (cdio_get_track_format(cdio, track_t(t)) == TRACK_FORMAT_AUDIO)
            continue;
        iso9660_pvd_t pvd;
        const lsn_t start = cdio_get_track_lsn(cdio, track_t(t));
        if (cdio_read_data_sectors(cdio, &pvd, start + ISO_PVD_SECTOR, ISO_BLOCKSIZE, 1)
                == DRIVER_OP_SUCCESS
            && iso9660_get_pvd_type(&pvd) == ISO_VD_PRIMARY
            && qstrncmp(iso9660_get_pvd_id(&pvd), ISO_STANDARD_ID, 5) == 0) {
            char *name = iso9660_get_volume_id(&pvd);
            volume = QString::fromLatin1(name);
            std::free(name);
        }
        break;
    }
    cdio_destroy(cdio);
    return discName(album, volume);
}
