#include "cddouble.h"
#include "cdimage.h"
#include "disc/cd/audiocd.h"
#include "disc/cd/cdripthread.h"
#include "support/testsupport.h"

#include <QtEndian>
#include <QtTest>

namespace {

// The rip's signals in order of arrival, files by name.
struct Rip : CDRipThread {
    using CDRipThread::CDRipThread;
    QStringList events, files;
    void rip(const QString &drive, const QStringList &tracks)
    {
        connect(this, &CDRipThread::startedFile, this, [this](int i) { events << QString("started %1").arg(i); });
        connect(this, &CDRipThread::progress, this, [this](int p) { events << QString("progress %1").arg(p); });
        connect(this, &CDRipThread::finishedFile, this, [this](const QString &f) {
            files << f, events << QFileInfo(f).fileName();
        });
        connect(this, &CDRipThread::ripComplete, this, [this] { events << "complete"; });
        connect(this, &CDRipThread::error, this, [this](const QString &m) { events << m; });
        QSignalSpy done(this, &QThread::finished);
        setTracks(drive, tracks);
        start();
        QVERIFY(done.wait(30000));
        QCoreApplication::processEvents();
    }
};

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("none");
}

} // namespace

class TestAudioCD : public QObject
{
    Q_OBJECT
    QTemporaryDir images;

private slots:
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
        for (qint64 n = now; n < now + 20; ++n) {
            QDir().mkpath(product.temp() + QString::number(n));
            writeFile(product.temp() + QString::number(n) + "/Track 1.wav", "earlier");
        }
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
            QCOMPARE(contents(product.temp() + QString::number(n) + "/Track 1.wav"), "earlier");
        for (int i = 0; i < lengths.size(); ++i) {
            const QByteArray wav = contents(folder.filePath(QString("Track %1.wav").arg(i + 1)));
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
        QTest::newRow("fine") << "" << fine << "45 95 60";
        QTest::newRow("medium error in a middle track") << "medium@85" << fine << "45 55 60";
        const QString second = "Track 1.wav|Cannot extract track 2|Track 3.wav|complete";
        QTest::newRow("medium error twice") << "medium2@85" << second << "45 40 60";
        QTest::newRow("other error, middle track") << "read@85" << second << "45 40 60";
        QTest::newRow("other error, last track") << "read@160" << fine << "45 95 21";
        QTest::newRow("error in the rest") << "read@40" << "Cannot extract track 1|Track 2.wav|Track 3.wav|complete"
                                           << "40 95 60";
        QTest::newRow("cancel in block 1") << "cancel@65" << "Track 1.wav|Ripping was cancelled." << "45 40 -";
        QTest::newRow("data track") << "data" << "Track 1.wav|Track 2.wav|Cannot extract track 3|complete" << "45 95 -";
        QTest::newRow("folder removed") << "rmdir@45" << "Track 1.wav|Cannot extract track 2|Cannot extract track 3|"
                                                         "complete" << "- - -";
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
        QTemporaryDir out;
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
        QFETCH(QString, sectors);
        for (int i = 0; i < 3; ++i) {
            const QByteArray wav = contents(out.filePath(QString("Track %1.wav").arg(i + 1)));
            const QString n = sectors.section(' ', i, i);
            QVERIFY(n == "-" ? wav == "none" : wav.mid(44) == disc->samples(disc->start(i), n.toUInt()));
            QVERIFY(n == "-" || qFromLittleEndian<quint32>(wav.constData() + 40) == disc->lengths.at(i) * 2352);
        }
    }

    // A full disk, the -1 answers and the whole-track read.
    void queries()
    {
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = {22499, 95};
        CAudioCD closed(QString(), std::make_unique<DeviceDouble>(disc));
        CAudioCD cd("fake", std::make_unique<DeviceDouble>(disc));
        QCOMPARE(QList<int>({closed.trackCount(), cd.trackCount(), cd.trackSeconds(0), cd.trackSeconds(2)}),
                 QList<int>({-1, 2, 299, -1}));
        QByteArray all;
        QVERIFY(cd.readTrack(1, all) && all == disc->samples(22499, 95) && !cd.extractTrack(1, "/dev/full"));
    }
};

QTEST_GUILESS_MAIN(TestAudioCD)
#include "tst_audiocd.moc"
