// Audio CDs: the reader, the rip thread and the dialog, on real images (libcdio) and a faulty drive double.
#include "app/selectcd.h"
#include "cdimage.h"
#include "disc/cd/cdripthread.h"
#include "disc/cd/discinfo.h"
#include "disc/cd/discname.h"
#include "disc/cd/riplog.h"
#include "disc/cd/trackchecksum.h"
#include "disc/drives.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <QCryptographicHash>

#include <numeric>

namespace {

// A disc in a drive that isn't there ("fake"): tracks end to end from sector
// 0, switches for the faults of real drives, and a record of the tray lock.
struct FakeDisc {
    QList<quint32> lengths{45, 95, 60};
    QList<int> dataTracks;
    CdText text;
    bool tocFails = false, unlockFails = false, balanced = true;
    int failingLock = 0, locks = 0, held = 0; // failingLock: 1-based request that fails
    qint64 faultSector = -1;                  // reads from here fail `failures` times (-1: always)
    int failures = 1, reads = 0;
    CdDevice::ReadResult fault = CdDevice::ReadResult::Failed;
    // Every fifth read starts a few samples off, as drives without accurate
    // streaming do; a flaky sector reads differently each time.
    bool jitter = false;
    qint64 flakySector = -1;
    std::function<void(quint32 sector)> onRead; // on the reading thread

    quint32 start(int index) const { return std::accumulate(lengths.begin(), lengths.begin() + index, 0u); }
    // Noise, so that a shifted read shows: the bytes from byte `from` of the disc.
    QByteArray bytes(qint64 from, qint64 size) const
    {
        QByteArray out(size, '\0');
        for (qint64 i = 0; i < size; ++i) {
            const quint32 h = (quint32(from + i) ^ quint32(from + i) >> 16) * 0x85ebca6bu;
            out[i] = char((h ^ h >> 13) * 0xc2b2ae35u >> 16);
        }
        return out;
    }
};

TocEntry tocEntry(int f, bool data) { return {quint8(f / 4500), quint8(f / 75 % 60), quint8(f % 75), data}; }

struct DeviceDouble : CdDevice {
    std::shared_ptr<FakeDisc> d;
    bool m_open = false;
    explicit DeviceDouble(std::shared_ptr<FakeDisc> disc) : d(std::move(disc)) {}
    bool open(const QString &id) override { return m_open = id == "fake"; }
    void close() override { d->balanced = d->balanced && d->held == 0, m_open = false; }
    bool isOpen() const override { return m_open; }
    bool setRemovalPrevented(bool prevent) override
    {
        if ((prevent && ++d->locks == d->failingLock) || (!prevent && d->unlockFails))
            return false;
        d->held = qMax(0, d->held + (prevent ? 1 : -1));
        return true;
    }
    bool readToc(CdToc &toc) override
    {
        toc = {1, int(d->lengths.size()), {}};
        for (int i = 0; i <= d->lengths.size(); ++i)
            toc.entries << tocEntry(int(d->start(i)) + 150, d->dataTracks.contains(i));
        return !d->tocFails;
    }
    CdText readCdText() override { return d->text; }
    ReadResult readAudio(quint32 sector, quint32 count, char *buffer) override
    {
        if (d->onRead)
            d->onRead(sector);
        if (d->faultSector >= sector && d->faultSector < sector + count && d->failures != 0)
            return d->failures -= d->failures > 0, d->fault;
        if (sector + count > d->start(int(d->lengths.size())))
            return ReadResult::Failed;
        // A drive can't start off the disc: no jitter there.
        int shift = d->jitter && ++d->reads % 5 == 0 ? (d->reads % 7 - 3) * 4 : 0;
        if (qint64(sector) * 2352 + shift < 0 || sector + count >= d->start(int(d->lengths.size())))
            shift = 0;
        QByteArray bytes = d->bytes(qint64(sector) * 2352 + shift, qint64(count) * 2352);
        if (d->flakySector >= sector && d->flakySector < sector + count)
            bytes[(d->flakySector - sector) * 2352 + 100] = char(++d->reads);
        std::copy(bytes.begin(), bytes.end(), buffer);
        return ReadResult::Ok;
    }
    bool eject() override { return m_open; }
    bool load() override { return m_open; }
    bool mediaPresent(const QString &id) override { return id.isEmpty() ? m_open : id == "fake"; }

    static CdDeviceFactory of(std::shared_ptr<FakeDisc> d) { return [d] { return std::make_unique<DeviceDouble>(d); }; }
};

// The published formulas, written out here apart from the code: CRC-32
// bit by bit, and AccurateRip's sum of each stereo sample (a little-endian
// 32-bit word) times its position from 1, v2 adding the product's high
// half; the disc's first track leaves out positions below 5 * 588, its last
// the final 5 * 588.
struct Sums { quint32 crc, v1, v2; };
Sums referenceSums(const QByteArray &audio, bool first, bool last)
{
    quint32 crc = 0xffffffff;
    for (const char c : audio) {
        crc ^= uchar(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? crc >> 1 ^ 0xedb88320 : crc >> 1;
    }
    quint32 v1 = 0, v2 = 0;
    const quint64 count = quint64(audio.size()) / 4;
    for (quint64 n = 1; n <= count; ++n) {
        if ((first && n < 5 * 588) || (last && n + 5 * 588 > count))
            continue;
        const quint64 product = qFromLittleEndian<quint32>(audio.constData() + 4 * (n - 1)) * n;
        v1 += quint32(product);
        v2 += quint32(product) + quint32(product >> 32);
    }
    return {~crc, v1, v2};
}

// MusicBrainz: SHA-1 of the first and last track and the lead-out and 99
// track addresses in upper-case hex, in base64 with ._- for +/=.
QString referenceDiscId(int first, int last, int leadOut, const QList<int> &starts)
{
    QString text = QString::asprintf("%02X%02X%08X", first, last, leadOut);
    for (int i = 0; i < 99; ++i)
        text += QString::asprintf("%08X", starts.value(i));
    return QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Sha1).toBase64()
        .replace('+', '.').replace('/', '_').replace('=', '-');
}

// cdrecord's .cdt of titles Album, Uno/Ein, Zwei uber, performers The Band, -, Guest: a 4-byte header, then
// packs of type (title 0x80, performer 0x81, sizes 0x8f), track, sequence, position, 12 bytes of text, CRC.
const QByteArray cdtFile = QByteArray::fromHex("00800000"
                                               "80000000416c62756d00556e6f2f45696b17"
                                               "800101066e005a7765692075626572009a20"
                                               "810002005468652042616e6400004775ab13"
                                               "81020302657374000000000000000000198b"
                                               "8f0004000001020002020000000000009ab7"
                                               "8f0105000000000000000003060000006fe7"
                                               "8f0206000000000009000000000000009123");

// A rip into `folder` (a new rip folder when empty): its signals in order of arrival, files by name.
struct Rip : CDRipThread {
    QStringList events, files;
    QHash<int, TrackRip> rips; // by number
    explicit Rip(const QString &folder, const std::shared_ptr<FakeDisc> &disc = {})
        : CDRipThread(disc ? DeviceDouble::of(disc)() : nullptr)
    {
        setDestination(folder);
    }
    void rip(const QString &drive, const QStringList &tracks)
    {
        connect(this, &CDRipThread::startedFile, this, [this](int i) { events << QString("started %1").arg(i); });
        connect(this, &CDRipThread::progress, this, [this](int p) { events << QString("progress %1").arg(p); });
        connect(this, &CDRipThread::finishedFile, this, [this](const QString &f) {
            files << f, events << QFileInfo(f).fileName();
        });
        connect(this, &CDRipThread::trackRipped, this, [this](const TrackRip &r) { rips[r.number] = r; });
        connect(this, &CDRipThread::ripComplete, this, [this] { events << "complete"; });
        connect(this, &CDRipThread::error, this, [this](const QString &m) { events << m; });
        QSignalSpy done(this, &QThread::finished);
        setTracks(drive, tracks);
        start();
        QVERIFY(done.wait(30000));
        QCoreApplication::processEvents();
    }
    QString outcome() const { return events.filter(QRegularExpression("^(?!started|progress)")).join('|'); }
};

// A shown dialog on the drive double (or on libcdio), with its boxes and the files it handed on.
struct Shown {
    ScratchProduct product;
    PromptRecorder prompts;
    SelectCD d;
    QStringList names;
    explicit Shown(const std::shared_ptr<FakeDisc> &disc = {})
        : d(nullptr, disc ? DeviceDouble::of(disc) : CdDeviceFactory())
    {
        QObject::connect(&d, &SelectCD::addAudioCD,
                         [this](const QStringList &files) { names << QFileInfo(files.value(0)).fileName(); });
        d.scanDrives();
        d.show();
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    QStringList rows() const { return tickedRows(d.itemTree()); }
};

struct ImageRow { QString sheet; int firstTrack; bool ownFolder; };
// Per track: the sectors in its file (- for none), then u when some were never read, m when the two reads differ.
struct ReadRow { QString fault, events, files; };
// The drive's fault, the sector whose read waits for the test, the boxes shown and the tracks handed on.
struct Hold { QString fault; qint64 holdAt; QStringList boxes, files; };
struct ImageBox { QString image, box; QStringList tracks; };
struct SumRow { QByteArray audio; bool first, last; QString sums; }; // crc v1 v2 in hex
struct OffsetRow { int track, offset; bool secure; };

} // namespace

class TestCD : public QObject
{
    Q_OBJECT
    QTemporaryDir images;

private slots:
    void init() { Drives::setLister([] { return QStringList{"fake"}; }); }
    void cleanup() { Drives::setLister({}); }

    // Real libcdio on images: samples, header, progress, names and folders.
    void ripsImage_data()
    {
        addRows<ImageRow>("r", {{"cue, tracks from 1, rip folder", {".cue", 1, false}},
                                {"cue, tracks from 5, given folder", {".cue", 5, true}},
                                {"cdrdao table", {".toc", 1, false}}});
    }
    void ripsImage()
    {
        QFETCH(ImageRow, r);
        const QList<int> lengths{19, 40, 41, 3000};
        const CdImage image = makeCdImage(images.path(), QTest::currentDataTag(), lengths, r.firstTrack);
        ScratchProduct product;
        // Earlier rips' folders of this and the coming seconds stay as they are.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (qint64 n = now; n < now + 20; ++n)
            QVERIFY(writeFile(product.temp() + QString::number(n) + "/Track 1.wav", "earlier"));
        Rip rip(r.ownFolder ? images.filePath("out") : "");
        rip.rip(image.cue.chopped(4) + r.sheet, {"1", "2", "3", "4"});
        QCOMPARE(rip.events.mid(0, 10).join('|'), "started 1|Track 1.wav|started 2|progress 0|progress 50|Track "
                                                  "2.wav|started 3|progress 0|progress 50|Track 3.wav");
        QCOMPARE(rip.events.mid(11).join('|').count("progress"), 150);
        QCOMPARE(rip.events.mid(160), QStringList({"progress 99", "Track 4.wav", "complete"}));
        const QDir folder = QFileInfo(rip.files.value(0)).dir();
        QVERIFY2(r.ownFolder ? folder.path() == images.filePath("out")
                             : folder.dirName().toLongLong() >= now + 20 && folder.dirName().size() == 10
                                   && QFileInfo(folder.path()).path() + "/" == product.temp(),
                 qPrintable(folder.path()));
        for (qint64 n = now; n < now + 20; ++n)
            QCOMPARE(readFile(product.temp() + QString::number(n) + "/Track 1.wav"), "earlier");
        for (int i = 0; i < lengths.size(); ++i) {
            const QByteArray wav = readFile(folder.filePath(QString("Track %1.wav").arg(i + 1)));
            QVERIFY(wav.mid(44) == image.track(i, lengths.at(i)));
            QByteArray header = QByteArray::fromHex("524946460000000057415645666d74201000000001000200"
                                                    "44ac000010b10200040010006461746100000000");
            qToLittleEndian<quint32>(36 + lengths.at(i) * 2352, header.data() + 4);
            qToLittleEndian<quint32>(lengths.at(i) * 2352, header.data() + 40);
            QCOMPARE(wav.left(44).toHex(), header.toHex());
        }
    }

    // A drive double with faults (tracks of 45, 95, 60 sectors) read fast or securely, with or without test
    // and copy: messages, hand-overs, what each file holds, the marks, the log and the tray lock.
    void reads_data()
    {
        const QString fine = "Track 1.wav|Track 2.wav|Track 3.wav|complete", open = "Cannot open CD drive fake";
        const QString unreadable = "Cannot extract track %1: the disc can't be read there";
        const QString second = "Track 1.wav|" + unreadable.arg(2) + "|Track 3.wav|complete";
        addRows<ReadRow>(
            "r", {{"medium error in a middle track", {"medium@85", fine, "45 55u 60"}},
                  {"medium error twice", {"medium2@85", second, "45 - 60"}},
                  {"other error, middle track", {"read@85", second, "45 - 60"}},
                  {"other error, last track", {"read@160", fine, "45 95 21u"}},
                  {"error in the rest", {"read@40", unreadable.arg(1) + "|Track 2.wav|Track 3.wav|complete",
                                         "- 95 60"}},
                  {"cancel in block 1", {"cancel@65", "Track 1.wav|Ripping was cancelled.", "45 - -"}},
                  {"data track", {"data", "Track 1.wav|Track 2.wav|Cannot extract track 3: the track holds data, not "
                                          "audio|complete", "45 95 -"}},
                  // The link's target is never made; the link stays as it was.
                  {"link at a name", {"link", "Track 1.wav|Cannot extract track 2: Track 2.wav already exists|Track "
                                              "3.wav|complete", "45 - 60"}},
                  {"folder removed", {"rmdir@45", "Track 1.wav|Cannot extract track 2: the file was removed while it "
                                                  "was written|Cannot extract track 3: No such file or "
                                                  "directory|complete", "- - -"}},
                  {"table unreadable", {"toc", open, "- - -"}},
                  {"no tracks", {"empty", open, "- - -"}},
                  {"first lock fails", {"lock1", open, "- - -"}},
                  {"second lock fails", {"lock2", "Cannot lock CD drive fake", "- - -"}},
                  {"unlock fails", {"unlock", "Track 1.wav|Track 2.wav|Track 3.wav|Cannot unlock CD drive fake",
                                    "45 95 60"}},
                  // Tracks of 300 sectors (4 s, the shortest a CD holds) from here on.
                  {"jittered reads", {"secure jitter", fine, "300 300 300"}},
                  {"a sector failing twice", {"secure fail2@370", fine, "300 300 300"}},
                  {"a sector that never reads, among jitter", {"secure never@370", fine, "300 300u 300"}},
                  {"test and copy, fast, a flaky sector", {"fast copy flaky@370", fine, "300 300m 300"}},
                  {"test and copy, secure, jitter", {"secure copy jitter", fine, "300 300 300"}}});
    }
    void reads()
    {
        QFETCH(ReadRow, r);
        const QString mode = r.fault.section(' ', 0, -2), kind = r.fault.section(' ', -1).section('@', 0, 0);
        const qint64 at = r.fault.section('@', 1).toLongLong();
        const bool secure = mode.startsWith("secure");
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = kind == "empty" ? QList<quint32>{} : mode.isEmpty() ? disc->lengths : QList<quint32>(3, 300);
        disc->dataTracks = kind == "data" ? QList<int>{2} : QList<int>{};
        disc->tocFails = kind == "toc";
        disc->failingLock = kind == "lock1" ? 1 : kind == "lock2" ? 2 : 0;
        disc->unlockFails = kind == "unlock";
        disc->jitter = kind == "jitter" || kind == "never";
        disc->faultSector = QStringList({"medium", "medium2", "read", "fail2", "never"}).contains(kind) ? at : -1;
        disc->failures = kind == "never" ? -1 : kind.endsWith('2') ? 2 : 1;
        disc->fault = kind.startsWith("medium") ? CdDevice::ReadResult::MediumError : CdDevice::ReadResult::Failed;
        disc->flakySector = kind == "flaky" ? at : -1;
        QTemporaryDir out, elsewhere;
        const QString link = out.filePath("Track 2.wav"), target = elsewhere.filePath("x.wav");
        QVERIFY(kind != "link" || QFile::link(target, link));
        QHash<int, TrackRip> rips;
        {
            Rip rip(out.path(), disc);
            rip.setOptions({secure ? RipOptions::Mode::Secure : RipOptions::Mode::Fast, 0, mode.endsWith("copy"), 10});
            disc->onRead = [&](quint32 sector) {
                if (kind == "cancel" && sector == at)
                    rip.cancel();
                if (kind == "rmdir" && sector == at)
                    QDir(out.path()).removeRecursively();
            };
            rip.rip("fake", {"1", "2", "3"});
            QCOMPARE(rip.outcome(), r.events);
            rips = rip.rips;
        }
        QCOMPARE(disc->balanced, kind != "unlock");
        QVERIFY(kind != "link" || (QFileInfo(link).symLinkTarget() == target && !QFile::exists(target)));
        QStringList files;
        int rereads = 0;
        for (int i = 0; i < 3; ++i) {
            const QString file = out.filePath(QString("Track %1.wav").arg(i + 1));
            const QByteArray wav = readFile(file);
            const TrackRip t = rips.value(i + 1);
            const quint32 n = quint32(qMax(0, int(wav.size()) - 44)) / 2352;
            rereads += t.rereads;
            files << (!QFile::exists(file) ? "-"
                                            : QString::number(n) + (t.unrecoverable ? "u" : "") + (t.mismatch ? "m" : ""));
            QVERIFY(wav.isEmpty() || !t.clean() || wav.mid(44) == disc->bytes(disc->start(i) * 2352ll, n * 2352ll));
            // A track ended early by a damaged spot says so in its header too.
            QVERIFY(wav.isEmpty() || qFromLittleEndian<quint32>(wav.constData() + 40) == wav.size() - 44);
        }
        QCOMPARE(files.join(' '), r.files);
        QCOMPARE(rereads > 0, secure);
        const QString log = readFile(out.filePath("rip.log"));
        QCOMPARE(log.count("Result: OK"), files.filter(QRegularExpression("^\\d+$")).size());
        QVERIFY(log.isEmpty() || log.contains(QString("Mode: ") + (secure ? "Secure" : "Fast")
                                              + (mode.endsWith("copy") ? ", test and copy" : "")));
    }

    // The rows (lengths rounded down, titles, data tracks not to be ticked); Enter presses the focused
    // button, else OK once a track is ticked and Cancel before; the dialog while it rips the ticked
    // tracks, and one not read cleanly marked in its row, the dialog left open.
    void ripsTickedTracks()
    {
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = {300, 300, 74, 607 * 75 + 74, 4500};
        disc->dataTracks = {4};
        disc->faultSector = 400;
        disc->failures = -1;
        disc->text.trackTitles = {"Uno", ""};
        Shown s(disc);
        const QStringList all{"x Track 1: Uno 0:04", "x Track 2 0:04", "x Track 3 0:00", "x Track 4 10:07",
                              "- Track 5 (data) 1:00"};
        QCOMPARE(s.rows(), all);
        QVERIFY(!s.d.itemTree()->topLevelItem(4)->flags().testFlag(Qt::ItemIsEnabled) && disc->balanced);
        QCOMPARE(s.d.driveCombo()->currentText() + ", " + s.d.modeCombo()->currentText(), "fake, Secure");
        auto enter = [&s](QWidget *on) { return on->setFocus(), QTest::keyClick(on, Qt::Key_Return), s.d.isVisible(); };
        s.click(s.d.selectNoneButton());
        QCOMPARE(s.rows().filter(QRegularExpression("^x")), QStringList());
        QVERIFY(!enter(s.d.itemTree()));
        s.d.show();
        s.click(s.d.selectAllButton());
        QCOMPARE(s.rows(), all);
        QVERIFY(!enter(s.d.cancelButton()) && s.names.isEmpty());
        s.d.show();
        s.d.itemTree()->topLevelItem(3)->setCheckState(0, Qt::Unchecked);
        QStringList labels;
        connect(s.d.findChild<CDRipThread *>(), &CDRipThread::startedFile, &s.d,
                [&] { labels << s.d.statusLabel()->text(); });
        enter(s.d.itemTree());
        QVERIFY(!s.d.okButton()->isEnabled() && !s.d.driveCombo()->isEnabled() && s.d.cancelButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(s.d.statusLabel()->text().startsWith("Not read cleanly: track 2."), 20000);
        QVERIFY(s.d.isVisible() && s.d.okButton()->isEnabled() && s.prompts.texts().isEmpty());
        QCOMPARE(s.d.itemTree()->topLevelItem(1)->text(1), "Track 2 (unrecoverable sectors)");
        QCOMPARE(s.names, QStringList({"01 Uno.wav", "Track 2.wav", "Track 3.wav"}));
        QCOMPARE(labels.join(' '), "Ripping track 1 of 3... Ripping track 2 of 3... Ripping track 3 of 3...");
        s.d.ripStarted(3), s.d.startedFile(2), s.d.updateProgress(50);
        QCOMPARE(s.d.progressBar()->value(), 49); // 33.3 + 16.6
    }

    // Boxes, hand-overs and the dialog's state for a drive that fails, OK
    // pressed again while a rip goes on after a failed track, and Cancel.
    void duringRip_data()
    {
        const QString busy = "Ripping is still in progress. Wait until it has finished, or press Cancel.";
        addRows<Hold>("h", {{"drive unreadable", {"toc", -1, {"Cannot open CD drive fake"}, {}}},
                            {"OK while ripping", {"read", 45, {"Cannot extract track 1: the disc can't be read "
                                                               "there", busy}, {"Track 2.wav", "Track 3.wav"}}},
                            {"Cancel", {"cancel", 0, {"Ripping was cancelled."}, {}}}});
    }
    void duringRip()
    {
        QFETCH(Hold, h);
        auto disc = std::make_shared<FakeDisc>();
        disc->tocFails = h.fault == "toc";
        disc->faultSector = h.fault == "read" ? 0 : -1;
        std::atomic<bool> held{false}, release{false};
        disc->onRead = [&, holdAt = h.holdAt](quint32 sector) {
            for (held = held || sector == holdAt; held && !release;)
                QThread::msleep(1);
        };
        Shown s(disc);
        s.d.modeCombo()->setCurrentIndex(1); // fast: a failed read fails the track
        s.click(s.d.okButton());
        QTRY_VERIFY(held || h.holdAt < 0);
        if (h.fault == "read") {
            QTRY_VERIFY(s.d.okButton()->isEnabled());
            s.click(s.d.selectNoneButton());
            s.click(s.d.okButton());
        } else if (h.fault == "cancel") {
            s.click(s.d.cancelButton());
            QVERIFY(!s.d.isVisible() && s.d.okButton()->isEnabled() && s.d.statusLabel()->text().isEmpty());
        }
        release = true;
        QTRY_COMPARE(s.prompts.texts(), h.boxes);
        QTRY_COMPARE(s.d.isVisible(), h.fault == "toc");
        QCOMPARE(s.names, h.files);
        QVERIFY(s.d.okButton()->isEnabled() && s.d.progressBar()->value() == 0);
        // A failed or cut-off track is gone at once, not at the program's end.
        QStringList kept;
        for (QDirIterator it(s.product.temp(), {"*.wav"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            kept << QFileInfo(it.next()).fileName();
        kept.sort();
        QCOMPARE(kept, h.files);
    }

    // "Open Image...": a clear word for what can't be used, else the image as a drive.
    void openImage_data()
    {
        addRows<ImageBox>("r", {{"missing", {"none.cue", "The disc image %1 cannot be found.", {}}},
                                {"malformed", {"junk.cue", "%1 cannot be read as a disc image: its .bin file must lie "
                                                           "beside it under the same name.", {}}},
                                {"enhanced CD", {"enhanced.cue", "", {"x Track 1 0:01", "- Track 2 (data) 0:02"}}}});
    }
    void openImage()
    {
        QFETCH(ImageBox, r);
        const QString dir = images.path(), path = dir + "/" + r.image;
        makeCdImage(dir, "enhanced", {75}, 1, {}, "ENHANCED");
        QVERIFY(writeFile(dir + "/junk.cue", "FILE junk\n"));
        Drives::setLister({});
        Shown s;
        s.prompts.fileAnswers = {{path}};
        s.click(s.d.openImageButton());
        QCOMPARE(s.prompts.texts(), r.box.isEmpty() ? QStringList() : QStringList{r.box.arg(path)});
        QCOMPARE(s.rows(), r.tracks);
        // The entry: the image as the id, and the ISO 9660 volume as the disc's name.
        QCOMPARE(s.d.driveCombo()->currentData().toString() + s.d.driveCombo()->currentText(),
                 r.box.isEmpty() ? path + path + " ENHANCED" : "");
    }

    // CRC-32: the published check value, the others as zlib gives them. AccurateRip, worked by hand: sums of
    // "1234" + 2 * "5678" as words (no carry), of products past 32 bits, and of the first and last track's
    // left-out samples (words of 1).
    void checksums_data()
    {
        const QByteArray one = QByteArray::fromHex("01000000");
        addRows<SumRow>(
            "r", {{"check value", {"123456789", false, false, "cbf43926 a4a19e9b a4a19e9b"}},
                  {"products past 32 bits", {QByteArray(8, '\xff'), false, false, "2144df1c fffffffd fffffffe"}},
                  {"first track from sample 2940", {one.repeated(2941), true, false, "c7fefe3f 000016f9 000016f9"}},
                  {"last track, less its last 2940", {one.repeated(2942), false, true, "01d59574 00000003 00000003"}}});
    }
    void checksums()
    {
        QFETCH(SumRow, r);
        const Sums sums = referenceSums(r.audio, r.first, r.last);
        TrackChecksum code(quint64(r.audio.size()) / 4, r.first, r.last);
        for (int at = 0; at < r.audio.size(); at += 7) // in pieces that split samples
            code.add(r.audio.constData() + at, qMin(7, int(r.audio.size()) - at));
        auto hex = [](quint32 v) { return QString("%1").arg(v, 8, 16, QChar('0')); };
        QCOMPARE(hex(sums.crc) + ' ' + hex(sums.v1) + ' ' + hex(sums.v2), r.sums); // the reference, checked
        QCOMPARE(hex(code.crc32()) + ' ' + hex(code.accurateRipV1()) + ' ' + hex(code.accurateRipV2()), r.sums);
    }

    // Real libcdio: a read offset shifts what is read, through the next or last sector, zeros beyond the
    // disc; fast and secure give the same bytes, and the checksums of what was written are the reference's.
    void offsets_data()
    {
        addRows<OffsetRow>("r", {{"none, secure", {2, 0, true}},
                                 {"forward, in a sector", {2, 7, false}},
                                 {"back, past a sector, secure", {2, -600, true}},
                                 {"before the disc", {1, -600, false}},
                                 {"past the disc, secure", {3, 1000, true}}});
    }
    void offsets()
    {
        QFETCH(OffsetRow, r);
        const QList<int> lengths{3000, 40, 3000};
        static const CdImage image = makeCdImage(images.path(), "offsets", lengths);
        CAudioCD cd(image.cue);
        QTemporaryDir out;
        TrackRip rip;
        const RipOptions options{r.secure ? RipOptions::Mode::Secure : RipOptions::Mode::Fast, r.offset};
        QVERIFY(cd.extractTrack(uint(r.track - 1), out.filePath("t.wav"), options, &rip));
        const qint64 from = qint64(image.starts.at(r.track - 1)) * 2352 + r.offset * 4;
        const QByteArray expected = (QByteArray(qMax(0ll, -from), '\0') + image.pcm.mid(qMax(0ll, from)))
                                        .leftJustified(qint64(lengths.at(r.track - 1)) * 2352, '\0', true);
        QVERIFY(readFile(out.filePath("t.wav")).mid(44) == expected);
        const Sums sums = referenceSums(expected, r.track == 1, r.track == 3);
        QCOMPARE(QList<quint32>({rip.crc32, rip.accurateRipV1, rip.accurateRipV2}),
                 QList<quint32>({sums.crc, sums.v1, sums.v2}));
        QCOMPARE(rip.unrecoverable + rip.rereads, 0);
    }

    // CD-TEXT from a cue sheet's lines (in UTF-8) and from a .cdt file: names, the log, tags, the disc's ids.
    void cdText_data() { addRows<bool>("lines", {{"cue lines", true}, {"CDTEXTFILE", false}}); }
    void cdText()
    {
        QFETCH(bool, lines);
        const QString name = lines ? "textlines" : "textfile";
        const CdImage image = makeCdImage(images.path(), name, {300, 450}, 1,
                                          lines ? "TITLE \"Álbum\"\nPERFORMER \"The Band\"\n"
                                                : "CDTEXTFILE \"" + name + ".cdt\"\n");
        QString cue = readFile(image.cue);
        if (lines)
            cue.replace("TRACK 01 AUDIO\n", "TRACK 01 AUDIO\nTITLE \"Uno/Ein\"\n")
                .replace("TRACK 02 AUDIO\n", "TRACK 02 AUDIO\nTITLE \"Zwei über\"\nPERFORMER \"Guest\"\n");
        QVERIFY(writeFile(image.cue, cue.toUtf8()) && writeFile(images.filePath(name + ".cdt"), cdtFile));
        const QString album = lines ? "Álbum" : "Album", second = lines ? "Zwei über" : "Zwei uber";
        CAudioCD cd(image.cue);
        QCOMPARE(QStringList({cd.cdText().title, cd.cdText().performer}) + cd.cdText().trackTitles,
                 QStringList({album, "The Band", "Uno/Ein", second}));
        QCOMPARE(readDiscName(image.cue), album); // the dialog's name for the disc
        // Two tracks from 0:02: the lead-out at 750 + 150.
        QCOMPARE(musicBrainzDiscId(cd.toc()), referenceDiscId(1, 2, 900, {150, 450}));
        // freedb, by hand: digit sums of the starts' seconds (2, 6), 12 - 2 seconds long, two tracks.
        QCOMPARE(freedbDiscId(cd.toc()), "08000a02");
        QTemporaryDir out;
        Rip rip(out.path());
        rip.rip(image.cue, {"1", "2"});
        QCOMPARE(rip.outcome(), "01 Uno-Ein.wav|02 " + second + ".wav|complete");
        const TrackTags tags = ripTags(rip.files.value(1));
        QCOMPARE(QStringList({tags.title, tags.artist, tags.album, tags.albumArtist, QString::number(tags.track)}),
                 QStringList({second, "Guest", album, "The Band", "2"}));
        QCOMPARE(ripTags(rip.files.value(0)).artist, "The Band");
        const QString log = readFile(out.filePath("rip.log"));
        QVERIFY2(log.startsWith("MediaForgeStudio rip log\nSource: " + image.cue + "\nMode: Fast\nRead offset: 0 samples\n"
                                "MusicBrainz disc id: " + musicBrainzDiscId(cd.toc()) + "\n"),
                 qPrintable(log));
        QVERIFY(log.contains("\nTrack 2\n  File: 02 " + second + ".wav\n  Title: " + second
                             + "\n  Performer: Guest\n  Sectors: 300-749\n"));
    }

    // The published example of the MusicBrainz id, and a disc whose data
    // track is left out of it (with the gap before it) but not of freedb's.
    void discIds()
    {
        QCOMPARE(referenceDiscId(1, 6, 95462, {150, 15363, 32314, 46592, 63414, 80489}), "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
        CdToc toc{1, 7, {}};
        for (int f : {150, 15363, 32314, 46592, 63414, 80489, 95462 + 11400, 120000})
            toc.entries << tocEntry(f, f == 95462 + 11400);
        QCOMPARE(musicBrainzDiscId(toc), "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
        QCOMPARE(freedbDiscId(toc).right(2), "07");
    }
};

QTEST_MAIN(TestCD)
#include "tst_cd.moc"
