// Audio CDs: the reader and the rip thread on real images (libcdio) and on
// a drive double with faults, and the dialog.
#include "app/selectcd.h"
#include "cdimage.h"
#include "disc/cd/audiocd.h"
#include "disc/cd/cddevice.h"
#include "disc/cd/cdripthread.h"
#include "disc/cd/discinfo.h"
#include "disc/cd/riplog.h"
#include "disc/cd/trackchecksum.h"
#include "disc/drives.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <QCryptographicHash>

#include <numeric>

namespace {

// A disc in a drive that isn't there ("fake"): tracks end to end from sector
// 0, every sector filled with a byte of its own, switches for the faults of
// real drives, and a record of the tray lock.
struct FakeDisc {
    QList<quint32> lengths{45, 95, 60};
    QList<int> dataTracks;
    CdText text;
    bool tocFails = false, unlockFails = false, balanced = true;
    int failingLock = 0, locks = 0, held = 0; // failingLock: 1-based request that fails
    qint64 faultSector = -1;                  // reads from here fail `failures` times (-1: always)
    int failures = 1;
    CdDevice::ReadResult fault = CdDevice::ReadResult::Failed;
    // Every fifth read starts a few samples off, as drives without accurate
    // streaming do; a flaky sector reads differently each time.
    bool jitter = false;
    qint64 flakySector = -1;
    int reads = 0;
    std::function<void(quint32 sector)> onRead; // on the reading thread

    quint32 start(int index) const { return std::accumulate(lengths.begin(), lengths.begin() + index, 0u); }
    // Noise, so that a shifted read shows: the bytes from byte `from` of the disc.
    QByteArray bytes(qint64 from, qint64 size) const
    {
        QByteArray out(size, '\0');
        for (qint64 i = 0; i < size; ++i) {
            quint32 h = quint32(from + i);
            h = (h ^ h >> 16) * 0x85ebca6bu;
            h = (h ^ h >> 13) * 0xc2b2ae35u;
            out[i] = char(h ^ h >> 16);
        }
        return out;
    }
    QByteArray samples(quint32 from, quint32 count) const { return bytes(qint64(from) * 2352, qint64(count) * 2352); }
};

class DeviceDouble : public CdDevice
{
public:
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
        for (int i = 0; i <= d->lengths.size(); ++i) {
            const quint32 a = d->start(i) + 150;
            toc.entries << TocEntry{quint8(a / 4500), quint8(a / 75 % 60), quint8(a % 75), d->dataTracks.contains(i)};
        }
        return !d->tocFails;
    }
    CdText readCdText() override { return d->text; }
    ReadResult readAudio(quint32 sector, quint32 count, char *buffer) override
    {
        if (d->onRead)
            d->onRead(sector);
        if (d->faultSector >= sector && d->faultSector < sector + count && d->failures != 0) {
            d->failures -= d->failures > 0 ? 1 : 0;
            return d->fault;
        }
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

private:
    std::shared_ptr<FakeDisc> d;
    bool m_open = false;
};

inline CdDeviceFactory doubles(const std::shared_ptr<FakeDisc> &disc)
{
    return [disc] { return std::make_unique<DeviceDouble>(disc); };
}

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

// CD-TEXT packs (title 0x80, performer 0x81, then the size block 0x8f)
// with their CRCs, as cdrecord writes a .cdt file: behind a 4-byte header.
QByteArray cdTextFile(const QStringList &titles, const QStringList &performers)
{
    QByteArray packs;
    int sequence = 0;
    QList<int> counts(16);
    auto pack = [&](int type, int track, int position, const QByteArray &text) {
        QByteArray p = QByteArray(1, char(type)) + char(track) + char(sequence++) + char(qMin(position, 15)) + text;
        quint16 crc = 0;
        for (const char c : p) {
            crc ^= quint16(uchar(c) << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = crc & 0x8000 ? quint16(crc << 1 ^ 0x1021) : quint16(crc << 1);
        }
        packs += p + char(~crc >> 8) + char(~crc & 0xff);
        ++counts[type - 0x80];
    };
    for (const auto &[type, texts] : {std::pair{0x80, titles}, std::pair{0x81, performers}}) {
        QByteArray all;
        QList<int> owner;
        for (int t = 0; t < texts.size(); ++t) {
            all += texts.at(t).toLatin1() + '\0';
            owner += QList<int>(texts.at(t).size() + 1, t);
        }
        for (int at = 0; at < all.size(); at += 12)
            pack(type, owner.at(at), at - int(owner.indexOf(owner.at(at))), all.mid(at, 12).leftJustified(12, '\0'));
    }
    counts[15] = 3;
    QByteArray size = QByteArray::fromHex("0001") + char(titles.size() - 1) + '\0';
    for (int c : counts)
        size += char(c);
    size += char(sequence + 2) + QByteArray(7, '\0') + char(9) + QByteArray(7, '\0');
    for (int i = 0; i < 3; ++i)
        pack(0x8f, i, 0, size.mid(i * 12, 12));
    return QByteArray(1, char((packs.size() + 2) >> 8)) + char((packs.size() + 2) & 0xff) + QByteArray(2, '\0') + packs;
}

// The rip's signals in order of arrival, files by name.
struct Rip : CDRipThread {
    using CDRipThread::CDRipThread;
    QStringList events, files;
    QList<TrackRip> rips;
    void rip(const QString &drive, const QStringList &tracks)
    {
        connect(this, &CDRipThread::startedFile, this, [this](int i) { events << QString("started %1").arg(i); });
        connect(this, &CDRipThread::progress, this, [this](int p) { events << QString("progress %1").arg(p); });
        connect(this, &CDRipThread::finishedFile, this, [this](const QString &f) {
            files << f, events << QFileInfo(f).fileName();
        });
        connect(this, &CDRipThread::trackRipped, this, [this](const TrackRip &r) { rips << r; });
        connect(this, &CDRipThread::ripComplete, this, [this] { events << "complete"; });
        connect(this, &CDRipThread::error, this, [this](const QString &m) { events << m; });
        QSignalSpy done(this, &QThread::finished);
        setTracks(drive, tracks);
        start();
        QVERIFY(done.wait(30000));
        QCoreApplication::processEvents();
    }
};

// A shown dialog on the drive double (or on libcdio without a disc), with
// its hand-overs and boxes.
struct Shown {
    ScratchProduct product;
    PromptRecorder prompts;
    SelectCD d;
    QSignalSpy added{&d, &SelectCD::addAudioCD};
    explicit Shown(const std::shared_ptr<FakeDisc> &disc = {}) : d(nullptr, disc ? doubles(disc) : CdDeviceFactory())
    {
        d.scanDrives();
        d.show();
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    QStringList rows() const { return tickedRows(d.itemTree()); }
    QStringList names() const
    {
        QStringList out;
        for (const QList<QVariant> &call : added)
            out << QFileInfo(call.at(0).toStringList().value(0)).fileName();
        return out;
    }
};

// A rip the dialog runs: the drive's fault, the sector whose read waits for
// the test, the boxes shown and the tracks handed on.
struct Hold { QString fault; qint64 holdAt; QStringList boxes, files; };

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
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("firstTrack");
        QTest::addColumn<bool>("ownFolder");
        QTest::newRow("cue, tracks from 1, rip folder") << ".cue" << 1 << false;
        QTest::newRow("cue, tracks from 5, given folder") << ".cue" << 5 << true;
        QTest::newRow("cdrdao table") << ".toc" << 1 << false;
    }
    void ripsImage()
    {
        QFETCH(QString, sheet);
        QFETCH(bool, ownFolder);
        const QList<int> lengths{19, 40, 41, 3000};
        QFETCH(int, firstTrack);
        const CdImage image = makeCdImage(images.path(), QTest::currentDataTag(), lengths, firstTrack);
        QCOMPARE(image.pcm.size(), 3100 * 2352);
        ScratchProduct product;
        // Earlier rips' folders of this and the coming seconds stay as they are.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (qint64 n = now; n < now + 20; ++n)
            QVERIFY(writeFile(product.temp() + QString::number(n) + "/Track 1.wav", "earlier"));
        Rip rip;
        rip.setDestination(ownFolder ? images.filePath("out") : "");
        rip.rip(image.cue.chopped(4) + sheet, {"1", "2", "3", "4"});
        QCOMPARE(rip.events.mid(0, 10).join('|'), "started 1|Track 1.wav|started 2|progress 0|progress 50|Track "
                                                  "2.wav|started 3|progress 0|progress 50|Track 3.wav");
        QCOMPARE(rip.events.mid(11).join('|').count("progress"), 150);
        QCOMPARE(rip.events.mid(160), QStringList({"progress 99", "Track 4.wav", "complete"}));
        const QDir folder = QFileInfo(rip.files.value(0)).dir();
        QVERIFY2(ownFolder ? folder.path() == images.filePath("out")
                           : folder.dirName().toLongLong() >= now + 20 && folder.dirName().size() == 10
                                 && QFileInfo(folder.path()).path() + "/" == product.temp(),
                 qPrintable(folder.path()));
        for (qint64 n = now; n < now + 20; ++n)
            QCOMPARE(readFile(product.temp() + QString::number(n) + "/Track 1.wav"), "earlier");
        for (int i = 0; i < lengths.size(); ++i) {
            const QByteArray wav = readFile(folder.filePath(QString("Track %1.wav").arg(i + 1)));
            QCOMPARE(wav.size(), 44 + lengths.at(i) * 2352);
            QVERIFY(wav.mid(44) == image.track(i, lengths.at(i)));
            QByteArray header = QByteArray::fromHex("524946460000000057415645666d74201000000001000200"
                                                    "44ac000010b10200040010006461746100000000");
            qToLittleEndian<quint32>(36 + lengths.at(i) * 2352, header.data() + 4);
            qToLittleEndian<quint32>(lengths.at(i) * 2352, header.data() + 40);
            QCOMPARE(wav.left(44).toHex(), header.toHex());
        }
    }

    // A drive with faults (sectors on a disc of 45, 95 and 60): messages,
    // hand-overs, what each file holds, the tray lock.
    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("sectors"); // in each track's file; - for none
        const QString fine = "Track 1.wav|Track 2.wav|Track 3.wav|complete";
        QTest::newRow("medium error in a middle track") << "medium@85" << fine << "45 55 60";
        const QString second = "Track 1.wav|Cannot extract track 2: the disc can't be read there|Track 3.wav|complete";
        QTest::newRow("medium error twice") << "medium2@85" << second << "45 - 60";
        QTest::newRow("other error, middle track") << "read@85" << second << "45 - 60";
        QTest::newRow("other error, last track") << "read@160" << fine << "45 95 21";
        QTest::newRow("error in the rest") << "read@40" << "Cannot extract track 1: the disc can't be read there|"
                                                          "Track 2.wav|Track 3.wav|complete" << "- 95 60";
        QTest::newRow("cancel in block 1") << "cancel@65" << "Track 1.wav|Ripping was cancelled." << "45 - -";
        QTest::newRow("data track") << "data" << "Track 1.wav|Track 2.wav|Cannot extract track 3: the track holds "
                                                 "data, not audio|complete" << "45 95 -";
        // The link's target is never made; the link stays as it was.
        QTest::newRow("link at a name") << "link" << "Track 1.wav|Cannot extract track 2: Track 2.wav already exists|"
                                                     "Track 3.wav|complete" << "45 - 60";
        QTest::newRow("folder removed") << "rmdir@45" << "Track 1.wav|Cannot extract track 2: the file was removed "
                                                         "while it was written|Cannot extract track 3: No such file "
                                                         "or directory|complete" << "- - -";
        QTest::newRow("table unreadable") << "toc" << "Cannot open CD drive fake" << "- - -";
        QTest::newRow("no tracks") << "empty" << "Cannot open CD drive fake" << "- - -";
        QTest::newRow("first lock fails") << "lock1" << "Cannot open CD drive fake" << "- - -";
        QTest::newRow("second lock fails") << "lock2" << "Cannot lock CD drive fake" << "- - -";
        QTest::newRow("unlock fails") << "unlock" << "Track 1.wav|Track 2.wav|Track 3.wav|Cannot unlock CD drive fake"
                                      << "45 95 60";
    }
    void faults()
    {
        QFETCH(QString, fault);
        const QString kind = fault.section('@', 0, 0);
        const quint32 at = fault.section('@', 1).toUInt();
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = kind == "empty" ? QList<quint32>{} : disc->lengths;
        disc->dataTracks = kind == "data" ? QList<int>{2} : QList<int>{};
        disc->tocFails = kind == "toc";
        disc->failingLock = kind == "lock1" ? 1 : kind == "lock2" ? 2 : 0;
        disc->unlockFails = kind == "unlock";
        disc->faultSector = kind.startsWith("medium") || kind == "read" ? at : -1;
        disc->failures = kind == "medium2" ? 2 : 1;
        disc->fault = kind.startsWith("medium") ? CdDevice::ReadResult::MediumError : CdDevice::ReadResult::Failed;
        QTemporaryDir out, elsewhere;
        const QString link = out.filePath("Track 2.wav"), target = elsewhere.filePath("x.wav");
        QVERIFY(kind != "link" || QFile::link(target, link));
        {
            Rip rip(std::make_unique<DeviceDouble>(disc));
            rip.setDestination(out.path());
            disc->onRead = [&](quint32 sector) {
                if (kind == "cancel" && sector == at)
                    rip.cancel();
                if (kind == "rmdir" && sector == at)
                    QDir(out.path()).removeRecursively();
            };
            rip.rip("fake", {"1", "2", "3"});
            QTEST(rip.events.filter(QRegularExpression("^(?!started|progress)")).join('|'), "events");
        }
        QCOMPARE(disc->balanced, kind != "unlock");
        QVERIFY(kind != "link" || (QFileInfo(link).symLinkTarget() == target && !QFile::exists(target)));
        QFETCH(QString, sectors);
        for (int i = 0; i < 3; ++i) {
            const QString file = out.filePath(QString("Track %1.wav").arg(i + 1)), n = sectors.section(' ', i, i);
            const QByteArray wav = readFile(file);
            QVERIFY(n == "-" ? !QFile::exists(file) : wav.mid(44) == disc->samples(disc->start(i), n.toUInt()));
            QVERIFY(n == "-" || qFromLittleEndian<quint32>(wav.constData() + 40) == disc->lengths.at(i) * 2352);
        }
    }

    // The -1 answers and the whole-track read.
    void queries()
    {
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = {22499, 95};
        CAudioCD closed(QString(), std::make_unique<DeviceDouble>(disc));
        CAudioCD cd("fake", std::make_unique<DeviceDouble>(disc));
        QCOMPARE(QList<int>({closed.trackCount(), cd.trackCount(), cd.trackSeconds(0), cd.trackSeconds(2)}),
                 QList<int>({-1, 2, 299, -1}));
        QByteArray all;
        QVERIFY(cd.readTrack(1, all) && all == disc->samples(22499, 95));
    }

    void listsTracks()
    {
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = {247 * 75 + 74, 750 * 75, 74, 4500};
        disc->dataTracks = {3};
        Shown s(disc);
        const QStringList all{"x Track 1 4:07", "x Track 2 12:30", "x Track 3 0:00", "- Track 4 (data) 1:00"};
        QCOMPARE(s.rows(), all);
        s.click(s.d.selectNoneButton());
        QCOMPARE(s.rows().filter(QRegularExpression("^x")), QStringList());
        s.click(s.d.selectAllButton());
        QCOMPARE(s.rows(), all);
        QVERIFY(!s.d.itemTree()->topLevelItem(3)->flags().testFlag(Qt::ItemIsEnabled) && disc->balanced);
        QCOMPARE(s.d.driveCombo()->currentText(), "fake"); // no disc name
    }

    // Real libcdio: twelve tracks, 2 and 5 left out.
    void ripsTickedTracks()
    {
        const CdImage image = makeCdImage(images.path(), "twelve", QList<int>(12, 19), 1, "TITLE \"Twelve\"\n");
        Drives::setLister([&] { return QStringList{image.cue}; });
        Shown s;
        QCOMPARE(s.d.driveCombo()->currentText(), image.cue + " Twelve"); // the CD-TEXT title
        s.d.itemTree()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        s.d.itemTree()->topLevelItem(4)->setCheckState(0, Qt::Unchecked);
        QStringList labels;
        connect(s.d.findChild<CDRipThread *>(), &CDRipThread::startedFile, &s.d,
                [&] { labels << s.d.statusLabel()->text(); });
        s.click(s.d.okButton());
        QVERIFY(!s.d.okButton()->isEnabled() && !s.d.driveCombo()->isEnabled() && s.d.cancelButton()->isEnabled());
        QTRY_VERIFY(!s.d.isVisible());
        QCOMPARE(s.names().join(',').remove(".wav").remove("Track "), "1,3,4,6,7,8,9,10,11,12");
        QCOMPARE(labels.size(), 10);
        QCOMPARE(labels.first() + labels.last(), "Ripping track 1 of 10...Ripping track 10 of 10...");
        QCOMPARE(s.prompts.texts(), QStringList());
        s.d.ripStarted(3), s.d.startedFile(2), s.d.updateProgress(50);
        QCOMPARE(s.d.progressBar()->value(), 49); // 33.3 + 16.6
    }

    // Boxes, hand-overs and the dialog's state for a drive that fails, OK
    // pressed again while a rip goes on after a failed track, and Cancel.
    void duringRip_data()
    {
        QTest::addColumn<Hold>("h");
        QTest::newRow("drive unreadable") << Hold{"toc", -1, {"Cannot open CD drive fake"}, {}};
        const QString busy = "Ripping is still in progress. Wait until it has finished, or press Cancel.";
        QTest::newRow("OK while ripping")
            << Hold{"read", 45, {"Cannot extract track 1: the disc can't be read there", busy},
                    {"Track 2.wav", "Track 3.wav"}};
        QTest::newRow("Cancel") << Hold{"cancel", 0, {"Ripping was cancelled."}, {}};
    }
    void duringRip()
    {
        QFETCH(Hold, h);
        const QString fault = h.fault;
        const qint64 holdAt = h.holdAt;
        auto disc = std::make_shared<FakeDisc>();
        disc->tocFails = fault == "toc";
        disc->faultSector = fault == "read" ? 0 : -1;
        std::atomic<bool> held{false}, release{false};
        disc->onRead = [&](quint32 sector) {
            for (held = held || sector == holdAt; held && !release;)
                QThread::msleep(1);
        };
        Shown s(disc);
        s.d.modeCombo()->setCurrentIndex(1); // fast: a failed read fails the track
        s.click(s.d.okButton());
        QTRY_VERIFY(held || holdAt < 0);
        if (fault == "read") {
            QTRY_VERIFY(s.d.okButton()->isEnabled());
            s.click(s.d.selectNoneButton());
            s.click(s.d.okButton());
        } else if (fault == "cancel") {
            s.click(s.d.cancelButton());
            QVERIFY(!s.d.isVisible() && s.d.okButton()->isEnabled() && s.d.statusLabel()->text().isEmpty());
        }
        release = true;
        QTRY_COMPARE(s.prompts.texts(), h.boxes);
        QTRY_COMPARE(s.d.isVisible(), fault == "toc");
        QCOMPARE(s.names(), h.files);
        QVERIFY(s.d.okButton()->isEnabled() && s.d.progressBar()->value() == 0);
        // A failed or cut-off track is gone at once, not at the program's end.
        QStringList kept;
        for (QDirIterator it(s.product.temp(), {"*.wav"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            kept << QFileInfo(it.next()).fileName();
        kept.sort();
        QCOMPARE(kept, h.files);
    }

    // Enter presses the focused button; elsewhere OK once a track is ticked,
    // Cancel before.
    void enterKey_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("pressed");
        QTest::newRow("ticked, in the list") << true << "list" << "OK";
        QTest::newRow("ticked, on Cancel") << true << "Cancel" << "Cancel";
        QTest::newRow("none ticked, in the list") << false << "list" << "Cancel";
        QTest::newRow("none ticked, on OK") << false << "OK" << "OK";
    }
    void enterKey()
    {
        QFETCH(bool, ticked);
        QFETCH(QString, focus);
        Shown s(std::make_shared<FakeDisc>());
        if (!ticked)
            s.click(s.d.selectNoneButton());
        QStringList pressed;
        for (QPushButton *button : {s.d.okButton(), s.d.cancelButton()})
            connect(button, &QPushButton::clicked, &s.d, [&pressed, button] { pressed << button->text(); });
        QWidget *target = focus == "OK"       ? s.d.okButton()
                          : focus == "Cancel" ? static_cast<QWidget *>(s.d.cancelButton())
                                              : s.d.itemTree();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTEST(pressed.join(','), "pressed");
        s.d.stopRip();
    }

    // "Open Image...": a clear word for what can't be used, else the image
    // as a drive.
    void openImage_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("tracks");
        QTest::newRow("missing") << "none.cue" << "The disc image %1 cannot be found." << QStringList();
        QTest::newRow("malformed") << "junk.cue" << "%1 cannot be read as a disc image: its .bin file must lie beside "
                                                    "it under the same name." << QStringList();
        QTest::newRow("no audio") << "iso.cue" << "The disc image %1 holds no audio tracks." << QStringList();
        QTest::newRow("enhanced CD") << "enhanced.cue" << "" << QStringList{"x Track 1 0:01", "- Track 2 (data) 0:02"};
    }
    void openImage()
    {
        const QString dir = images.path();
        if (!QFile::exists(dir + "/iso.cue")) {
            makeCdImage(dir, "enhanced", {75}, 1, {}, "ENHANCED");
            QVERIFY(writeFile(dir + "/junk.cue", "FILE junk\n"));
            QFile::copy(dir + "/data.iso", dir + "/iso.bin");
            writeFile(dir + "/iso.cue", "FILE \"iso.bin\" BINARY\nTRACK 01 MODE1/2048\nINDEX 01 00:00:00\n");
        }
        Drives::setLister({});
        Shown s;
        QFETCH(QString, image);
        const QString path = dir + "/" + image;
        s.prompts.fileAnswers = {{path}};
        s.click(s.d.openImageButton());
        QFETCH(QString, box);
        QCOMPARE(s.prompts.texts(), box.isEmpty() ? QStringList() : QStringList{box.arg(path)});
        QTEST(s.rows(), "tracks");
        // The entry: the image as the id, and the ISO 9660 volume as the disc's name.
        QCOMPARE(s.d.driveCombo()->currentData().toString() + s.d.driveCombo()->currentText(),
                 box.isEmpty() ? path + path + " ENHANCED" : "");
    }

    // Worked by hand: CRC-32's published check value; AccurateRip sums of
    // "1234" + 2 * "5678" as words (no carry), of products past 32 bits,
    // and of the first and last track's left-out samples (words of 1).
    void checksums_data()
    {
        QTest::addColumn<QByteArray>("audio");
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("last");
        QTest::addColumn<QString>("sums"); // crc v1 v2 in hex, "-" where not worked out
        auto ones = [](int n) {
            QByteArray a;
            for (int i = 0; i < n; ++i)
                a += QByteArray::fromHex("01000000");
            return a;
        };
        QTest::newRow("check value") << QByteArray("123456789") << false << false << "cbf43926 a4a19e9b a4a19e9b";
        QTest::newRow("products past 32 bits") << QByteArray(8, '\xff') << false << false << "- fffffffd fffffffe";
        QTest::newRow("first track from sample 2940") << ones(2941) << true << false << "- 000016f9 000016f9";
        QTest::newRow("last track to 2940 before its end") << ones(2942) << false << true << "- 00000003 00000003";
    }
    void checksums()
    {
        QFETCH(QByteArray, audio);
        QFETCH(bool, first);
        QFETCH(bool, last);
        QFETCH(QString, sums);
        const Sums r = referenceSums(audio, first, last);
        TrackChecksum code(quint64(audio.size()) / 4, first, last);
        // In pieces that split samples.
        for (int at = 0; at < audio.size(); at += 7)
            code.add(audio.constData() + at, qMin(7, int(audio.size()) - at));
        const QStringList hand = sums.split(' ');
        auto hex = [](quint32 v) { return QString("%1").arg(v, 8, 16, QChar('0')); };
        const QStringList reference{hex(r.crc), hex(r.v1), hex(r.v2)};
        const QStringList ours{hex(code.crc32()), hex(code.accurateRipV1()), hex(code.accurateRipV2())};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(hand.at(i) == "-" || hand.at(i) == reference.at(i), qPrintable(reference.join(' ')));
        QCOMPARE(ours, reference);
    }

    // Real libcdio: a read offset shifts what is read, through the next or
    // last sector, zeros beyond the disc; fast and secure give the same
    // bytes, and the checksums of what was written are the reference's.
    void offsets_data()
    {
        QTest::addColumn<int>("track");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("secure");
        QTest::newRow("none, secure") << 2 << 0 << true;
        QTest::newRow("forward, in a sector") << 2 << 7 << false;
        QTest::newRow("back, past a sector, secure") << 2 << -600 << true;
        QTest::newRow("before the disc") << 1 << -600 << false;
        QTest::newRow("past the disc, secure") << 3 << 1000 << true;
    }
    void offsets()
    {
        QFETCH(int, track);
        QFETCH(int, offset);
        QFETCH(bool, secure);
        static const CdImage image = makeCdImage(images.path(), "offsets", {3000, 40, 3000});
        CAudioCD cd(image.cue);
        QTemporaryDir out;
        RipOptions options;
        options.offset = offset;
        options.mode = secure ? RipOptions::Mode::Secure : RipOptions::Mode::Fast;
        TrackRip rip;
        QVERIFY(cd.extractTrack(uint(track - 1), out.filePath("t.wav"), options, &rip));
        const int sectors = QList<int>{3000, 40, 3000}.at(track - 1);
        const qint64 from = qint64(image.starts.at(track - 1)) * 2352 + offset * 4;
        QByteArray expected(qint64(sectors) * 2352, '\0');
        for (qint64 i = 0; i < expected.size(); ++i)
            if (from + i >= 0 && from + i < image.pcm.size())
                expected[i] = image.pcm.at(from + i);
        const QByteArray wav = readFile(out.filePath("t.wav"));
        QVERIFY(wav.mid(44) == expected);
        const Sums r = referenceSums(expected, track == 1, track == 3);
        QCOMPARE(QList<quint32>({rip.crc32, rip.accurateRipV1, rip.accurateRipV2}), QList<quint32>({r.crc, r.v1, r.v2}));
        QCOMPARE(rip.unrecoverable + rip.rereads, 0);
    }

    // Secure reading and test and copy on a drive double that jitters and
    // fails: what is recovered is byte-exact, what is not is marked.
    void secure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("testAndCopy");
        QTest::addColumn<QString>("marks"); // per track: - clean, u unrecoverable, m the two reads differ
        QTest::newRow("jittered reads") << "jitter" << false << "- - -";
        QTest::newRow("a sector failing twice") << "fail2@370" << false << "- - -";
        QTest::newRow("a sector that never reads, among jitter") << "never@370" << false << "- u -";
        QTest::newRow("test and copy, fast, a flaky sector") << "flaky@370" << true << "- m -";
        QTest::newRow("test and copy, secure, jitter") << "jitter" << true << "- - -";
    }
    void secure()
    {
        QFETCH(QString, fault);
        QFETCH(bool, testAndCopy);
        const QString kind = fault.section('@', 0, 0);
        const qint64 at = fault.section('@', 1).toLongLong();
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = {300, 300, 300};
        disc->jitter = kind == "jitter" || kind == "never";
        disc->faultSector = kind.startsWith("fail") || kind == "never" ? at : -1;
        disc->failures = kind == "never" ? -1 : 2;
        disc->flakySector = kind == "flaky" ? at : -1;
        QTemporaryDir out;
        Rip rip(std::make_unique<DeviceDouble>(disc));
        rip.setDestination(out.path());
        RipOptions options;
        options.mode = kind == "flaky" ? RipOptions::Mode::Fast : RipOptions::Mode::Secure;
        options.testAndCopy = testAndCopy;
        options.retries = 10;
        rip.setOptions(options);
        rip.rip("fake", {"1", "2", "3"});
        QCOMPARE(rip.events.filter(QRegularExpression("^(?!started|progress)")).join('|'),
                 "Track 1.wav|Track 2.wav|Track 3.wav|complete");
        QStringList marks;
        int rereads = 0;
        for (int i = 0; i < 3; ++i) {
            const TrackRip &r = rip.rips.at(i);
            marks << (r.unrecoverable > 0 ? "u" : r.mismatch ? "m" : "-");
            rereads += r.rereads;
            if (r.clean()) {
                const QByteArray got = readFile(r.file).mid(44), want = disc->samples(disc->start(i), 300);
                int first = 0;
                while (first < got.size() && got.at(first) == want.at(first))
                    ++first;
                QVERIFY2(got == want, qPrintable(r.file + QString(" differs from byte %1 of %2").arg(first).arg(got.size())));
            }
        }
        QTEST(marks.join(' '), "marks");
        QVERIFY(rereads > 0 || kind == "flaky");
        // The log says the same.
        const QString log = readFile(out.filePath("rip.log"));
        QCOMPARE(log.count("Result: OK"), marks.count("-"));
        QVERIFY(log.contains(QString("Mode: ") + (kind == "flaky" ? "Fast" : "Secure")
                             + (testAndCopy ? ", test and copy" : "")));
    }

    // CD-TEXT from a cue sheet's lines (written in UTF-8) and from a .cdt
    // file with cdrecord's header: names, the log, tags, and the disc's ids.
    void cdText_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("cue lines") << "lines";
        QTest::newRow("CDTEXTFILE") << "file";
    }
    void cdText()
    {
        QFETCH(QString, source);
        const bool lines = source == "lines";
        const QString name = "text" + source;
        const CdImage image = makeCdImage(images.path(), name, {300, 450}, 1,
                                          lines ? "TITLE \"Álbum\"\nPERFORMER \"The Band\"\n"
                                                : "CDTEXTFILE \"" + name + ".cdt\"\n");
        if (lines) {
            QString cue = readFile(image.cue);
            cue.replace("TRACK 01 AUDIO\n", "TRACK 01 AUDIO\nTITLE \"Uno/Ein\"\n")
                .replace("TRACK 02 AUDIO\n", "TRACK 02 AUDIO\nTITLE \"Zwei über\"\nPERFORMER \"Guest\"\n");
            QVERIFY(writeFile(image.cue, cue.toUtf8()));
        } else {
            QVERIFY(writeFile(images.filePath(name + ".cdt"), cdTextFile({"Album", "Uno/Ein", "Zwei uber"},
                                                                         {"The Band", "", "Guest"})));
        }
        const QString album = lines ? "Álbum" : "Album", second = lines ? "Zwei über" : "Zwei uber";
        CAudioCD cd(image.cue);
        QCOMPARE(QStringList({cd.cdText().title, cd.cdText().performer}) + cd.cdText().trackTitles,
                 QStringList({album, "The Band", "Uno/Ein", second}));
        // Two tracks from 0:02: the lead-out at 750 + 150.
        QCOMPARE(musicBrainzDiscId(cd.toc()), referenceDiscId(1, 2, 900, {150, 450}));
        // freedb, by hand: digit sums of the starts' seconds (2, 6), 12 - 2 seconds long, two tracks.
        QCOMPARE(freedbDiscId(cd.toc()), "08000a02");

        QTemporaryDir out;
        Rip rip;
        rip.setDestination(out.path());
        rip.rip(image.cue, {"1", "2"});
        QCOMPARE(rip.events.filter(QRegularExpression("^(?!started|progress)")).join('|'),
                 "01 Uno-Ein.wav|02 " + second + ".wav|complete");
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
        for (int frames : {150, 15363, 32314, 46592, 63414, 80489, 95462 + 11400, 120000})
            toc.entries << TocEntry{quint8(frames / 4500), quint8(frames / 75 % 60), quint8(frames % 75), false};
        toc.entries[6].data = true;
        QCOMPARE(musicBrainzDiscId(toc), "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
        QCOMPARE(freedbDiscId(toc).right(2), "07");
    }

    // A track not read cleanly is marked in its row, and the dialog stays
    // open to show it; the tracks' titles are in their rows.
    void marksTrack()
    {
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = {300, 300};
        disc->faultSector = 400;
        disc->failures = -1;
        disc->text.trackTitles = {"Uno", ""};
        Shown s(disc);
        QCOMPARE(s.rows(), QStringList({"x Track 1: Uno 0:04", "x Track 2 0:04"}));
        QCOMPARE(s.d.modeCombo()->currentText(), "Secure");
        s.click(s.d.okButton());
        QTRY_VERIFY_WITH_TIMEOUT(s.d.statusLabel()->text().startsWith("Not read cleanly: track 2."), 20000);
        QVERIFY(s.d.isVisible() && s.d.okButton()->isEnabled());
        QCOMPARE(s.d.itemTree()->topLevelItem(1)->text(1), "Track 2 (unrecoverable sectors)");
        QCOMPARE(s.names(), QStringList({"01 Uno.wav", "Track 2.wav"}));
    }
};

QTEST_MAIN(TestCD)
#include "tst_cd.moc"
