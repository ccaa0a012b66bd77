#include "app/selectdvd.h"
#include "disc/drives.h"
#include "disc/dvd/dvdripthread.h"
#include "disc/dvd/dvdvolume.h"
#include "disc/dvd/rippertext.h"
#include "dvdsupport.h"
#include "platform/tools.h"

#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <signal.h>

namespace {

// The rows of a listing as "00:00:05 *00:00:20 ...", the ticked one starred.
QString rows(const DvdTitles &titles)
{
    QStringList out;
    for (int t = 0; t < titles.lengths.size(); ++t)
        out << (t == titles.longest ? "*" : "") + dvdLengthText(titles.lengths.at(t));
    return out.join(' ');
}

QString rows(const QTreeWidget *tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = tree->topLevelItem(i);
        out << (item->checkState(0) == Qt::Checked ? "*" : "") + item->text(1) + " " + item->text(2);
    }
    return out.join(", ");
}

// A rip thread whose signals read as one list.
struct Rip : DVDRipThread {
    Rip()
    {
        connect(this, &DVDRipThread::ripStarted, this, [this](int n) { events << QString("started %1").arg(n); });
        connect(this, &DVDRipThread::ripTitleStarted, this, [this](int i) { events << QString("title %1").arg(i); });
        connect(this, &DVDRipThread::progress, this, [this](int p) { progress << p; });
        connect(this, &DVDRipThread::ripTitleFinished, this, [this](const QString &path, const QString &length) {
            events << "done " + QFileInfo(path).fileName() + " " + length;
            paths << path;
        });
        connect(this, &DVDRipThread::ripComplete, this, [this] { events << "complete"; });
        connect(this, &DVDRipThread::error, this, [this](const QString &m) { events << "error " + m; });
    }
    QStringList events, paths;
    QList<int> progress;
};

} // namespace

class TestDvd : public QObject
{
    Q_OBJECT

    TestDisc disc;
    QString source(const QString &kind) const
    {
        return kind == "iso" ? disc.iso() : kind == "VIDEO_TS" ? disc.folder() + "/VIDEO_TS" : disc.folder();
    }

private slots:
    void initTestCase() { QVERIFY(disc.build()); }

    // The real tool on the built disc: the listing, each title's exact bytes,
    // and the name part of each kind of source.
    void realRipper_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("folder") << "folder" << 2 << "disc";
        QTest::newRow("VIDEO_TS folder") << "VIDEO_TS" << 1 << "disc";
        QTest::newRow("ISO image (NTSC title)") << "iso" << 3 << "MOVIE";
    }

    void realRipper()
    {
        QFETCH(QString, kind);
        QFETCH(int, title);
        QFETCH(QString, name);
        PathPrefix bin(MFS_TEST_BIN);
        const Tools::Run listing = Tools::run("ripper", {source(kind)});
        QVERIFY2(listing.ok() && listing.err.isEmpty(), listing.err);
        QVERIFY(listing.out.startsWith("TITLES: 3\nTITLE_01\nLENGTH IN MS: "));
        const DvdTitles titles = parseDvdListing(Tools::toolText(listing.out));
        QCOMPARE(titles.lengths.size(), 3);
        for (int t = 0; t < 3; ++t)
            QVERIFY2(qAbs(titles.lengths[t] - TestDisc::seconds[t] * 1000) <= 40, listing.out);
        QCOMPARE(dvdSourceName(source(kind)), name);

        const QString out = disc.path(kind + ".vob");
        const Tools::Run rip = Tools::run("ripper", {source(kind), QString::number(title), out});
        QVERIFY2(rip.ok() && rip.err.isEmpty(), rip.err);
        QVERIFY2(rip.out.startsWith("0%\b\b") && rip.out.endsWith("100%\n"), rip.out);
        QVERIFY(contents(out) == contents(disc.vob(title)));
        QProcess probe;
        probe.start("ffprobe", {"-v", "error", "-show_entries", "stream=codec_name:format=duration", "-of",
                                "default=nw=1:nk=1", out});
        QVERIFY(probe.waitForFinished(20000));
        const QStringList facts = QString(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(facts.contains("mpeg2video"), qPrintable(facts.join(' ')));
        QVERIFY(qAbs(facts.last().toDouble() - TestDisc::seconds[title - 1]) < 0.7);
    }

    // What the tool says when it can't: one line, a non-zero status, no file.
    void ripperFails_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such title") << "folder" << "4" << "x.vob" << 3 << "title 4 does not exist (the disc has 3";
        QTest::newRow("title not a number") << "iso" << "2x" << "x.vob" << 3 << "title 2x does not exist";
        QTest::newRow("missing source") << "nowhere" << "1" << "x.vob" << 2 << "cannot read";
        QTest::newRow("not a DVD") << "dvd.xml" << "1" << "x.vob" << 2 << "holds no readable DVD-Video";
        QTest::newRow("output not writable") << "folder" << "1" << "no/x.vob" << 4 << "cannot write";
        QTest::newRow("encrypted") << "scrambled" << "1" << "x.vob" << 6 << "install libdvdcss";
    }

    void ripperFails()
    {
        QFETCH(QString, from);
        QFETCH(QString, title);
        QFETCH(QString, out);
        QFETCH(int, status);
        QFETCH(QString, message);
        QString path = from == "folder" || from == "iso" ? source(from) : disc.path(from);
        if (from == "scrambled") {
            // The disc as it reads without decryption: video packets still marked scrambled.
            QVERIFY(QProcess::execute("cp", {"-r", disc.folder(), path}) == 0);
            QByteArray vob = contents(disc.vob(1));
            for (int at = 0; at < vob.size(); at += 2048) {
                if (vob.mid(at + 14, 4) == QByteArray("\0\0\1\xe0", 4))
                    vob[at + 0x14] = char(vob[at + 0x14] | 0x10);
            }
            QFile scrambled(path + "/VIDEO_TS/VTS_01_1.VOB");
            QVERIFY(scrambled.open(QIODevice::WriteOnly) && scrambled.write(vob) == vob.size());
        }
        PathPrefix bin(MFS_TEST_BIN);
        const Tools::Run rip = Tools::run("ripper", {path, title, disc.path(out)});
        QCOMPARE(rip.exitCode, status);
        QVERIFY2(rip.err.startsWith("ripper: ") && rip.err.contains(message.toUtf8()) && rip.err.count('\n') == 1,
                 rip.err);
        QVERIFY(!QFile::exists(disc.path(out)));
    }

    // Output forms the real tool doesn't print.
    void listingForms_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("rows");
        QTest::newRow("equal lengths: the first ticked")
            << "TITLES: 3\nTITLE_01\nLENGTH IN MS: 5000\nTITLE_02\nLENGTH IN MS: 7200000\nTITLE_03\n"
               "LENGTH IN MS: 7200000\n" << "00:00:05 *02:00:00 02:00:00";
        QTest::newRow("one-digit count, line ends, 999 ms")
            << "TITLES: 2\r\nTITLE_01\r\nLENGTH IN MS: 999\r\nTITLE_02\r\nLENGTH IN MS: 1000\r\n" << "00:00:00 *00:00:01";
        QTest::newRow("entries out of order, other words")
            << "junk TITLES: 12\nTITLE_02 LENGTH in ms: 3000\nTITLE_01 LENGTH in ms: 4000\n"
            << "*00:00:04 00:00:03 " + QStringList(10, "00:00:00").join(' ');
        QTest::newRow("missing entry") << "TITLES: 2\nTITLE_02\nLENGTH IN MS: 3000\n" << "00:00:00 *00:00:03";
        QTest::newRow("missing length takes not the next one's")
            << "TITLES: 2\nTITLE_01\nTITLE_02\nLENGTH IN MS: 3000\n" << "00:00:00 *00:00:03";
        QTest::newRow("time-out: what came so far")
            << "TITLES: 3\nTITLE_01\nLENGTH IN MS: 5000\nTITLE_02\nLENGTH IN MS: 72" << "*00:00:05 00:00:00 00:00:00";
        QTest::newRow("count glued to the keyword") << "TITLES:3\nTITLE_01\nLENGTH IN MS: 5000\n" << "";
        QTest::newRow("no count") << "TITLE_01\nLENGTH IN MS: 5000\n" << "";
        QTest::newRow("nothing") << "" << "";
    }

    void listingForms()
    {
        QFETCH(QString, output);
        QFETCH(QString, rows);
        QCOMPARE(::rows(parseDvdListing(output)), rows);
    }

    // The rip thread with a stand-in for the tool (tests/data/stand-ins).
    void ripThread_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<int>("titles");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QList<int>>("progress");
        auto row = [](const char *name, const char *kind, const char *mode, int titles, const char *expected,
                      const QList<int> &progress = {}) {
            QTest::newRow(name) << kind << QByteArray(mode) << titles << QString(expected) << progress;
        };
        row("backspaces, two updates in a chunk", "scripted", "progress", 1,
            "started 1|title 1|done DVD_Title_1.vob 00:00:01|complete", {6, 47});
        row("half of title 2 of 2", "scripted", "half", 2,
            "started 2|title 1|done DVD_Title_1.vob 00:00:01|title 2|done DVD_Title_2.vob 00:00:02|complete", {75});
        row("cancel in the first of three", "scripted", "hang", 3, "started 3|title 1|error Rip was cancelled!");
        row("failing titles go on", "scripted", "fail", 3,
            "started 3|title 1|error Cannot rip title 1|title 2|error Cannot rip title 2|title 3|"
            "done DVD_Title_3.vob 00:00:03|complete");
        row("tool missing", "missing", "", 2,
            "started 2|title 1|error The DVD ripper \"ripper\" could not be found. Please reinstall MediaForgeStudio.");
        row("tool never starts", "unstartable", "", 2,
            "started 2|title 1|error The DVD ripper \"ripper\" could not be started: execvp: No such file or directory");
    }

    void ripThread()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, mode);
        QFETCH(int, titles);
        QFETCH(QString, expected);
        QFETCH(QList<int>, progress);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        const QString dir = product.appData();
        PathPrefix path(testData("stand-ins/" + kind), true);
        qputenv("MFS_FAKE_MODE", mode);
        qputenv("MFS_FAKE_DIR", QFile::encodeName(dir));
        Rip rip;
        // The window's case (a new rip folder) in the first row, a given folder in the others.
        const QString folder = mode == "progress" ? product.temp() : dir + "/out";
        if (mode != "progress")
            rip.setDestination(folder);
        rip.setTitles("/dev/sr9", QStringList({"1", "2", "3"}).mid(0, titles), "",
                      QStringList({"00:00:01", "00:00:02", "00:00:03"}).mid(0, titles));
        rip.start();
        qint64 pid = 0;
        if (mode == "hang") {
            QTRY_VERIFY(QFile::exists(dir + "/ripper.pid"));
            pid = contents(dir + "/ripper.pid").trimmed().toLongLong();
            rip.running = false;
        }
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(rip.events.join('|'), expected, 10000);
        QVERIFY(rip.wait(2000));
        if (pid) {
            QVERIFY2(clock.elapsed() < 1300 && ::kill(pid_t(pid), 0) != 0, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(contents(dir + "/args").count('\n'), 1);
        }
        QCOMPARE(rip.progress, progress);
        for (const QString &path : rip.paths)
            QVERIFY2(path.startsWith(folder) && contents(path) == "data\n", qPrintable(path));
        if (mode == "fail") {
            const QString log = contents(product.temp() + "log.txt");
            QVERIFY2(log.contains("Cannot rip title 1 of /dev/sr9: ripper: cannot read block 16")
                         && log.contains("Cannot rip title 2 of /dev/sr9: ripper wrote no file"), qPrintable(log));
        }
        qunsetenv("MFS_FAKE_MODE");
        qunsetenv("MFS_FAKE_DIR");
    }

    // The dialog on the real tool: a drive, or a chosen image or folder.
    void dialog_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("file");
        QTest::newRow("drive with a label") << "drive" << "iso" << "MOVIE" << "MOVIE_Title_2.vob";
        QTest::newRow("drive without a label") << "drive" << "folder" << "" << "DVD_Title_2.vob";
        QTest::newRow("image") << "image" << "iso" << "MOVIE" << "MOVIE_Title_2.vob";
        QTest::newRow("VIDEO_TS folder") << "folder" << "VIDEO_TS" << "disc" << "disc_Title_2.vob";
        QTest::newRow("folder without a DVD") << "folder" << "empty" << "empty" << "";
    }

    void dialog()
    {
        QFETCH(QString, how);
        QFETCH(QString, kind);
        QFETCH(QString, label);
        QFETCH(QString, file);
        ScratchProduct product;
        PromptRecorder prompts;
        PathPrefix bin(MFS_TEST_BIN);
        const QString path = kind == "empty" ? product.appData() + "/empty" : source(kind);
        QDir().mkpath(path);
        Drives::setLister([&] { return how == "drive" ? QStringList{path} : QStringList{}; });
        SelectDVD dialog;
        dialog.scanDrives();
        Drives::setLister({});
        prompts.fileAnswers << QStringList{path};
        prompts.folderAnswers << path;
        if (how != "drive")
            QTest::mouseClick(how == "image" ? dialog.openImageButton() : dialog.openFolderButton(), Qt::LeftButton);
        QCOMPARE(dialog.driveCombo()->currentText(), path + " " + label);
        if (file.isEmpty()) {
            QCOMPARE(rows(dialog.itemTree()), "");
            QCOMPARE(prompts.texts(), QStringList{"No DVD titles were found in " + path + ".\n\nripper: " + path
                                       + " holds no readable DVD-Video"});
            return;
        }
        QCOMPARE(rows(dialog.itemTree()), "Title 1 00:00:05, *Title 2 00:00:20, Title 3 00:00:12");
        QSignalSpy added(&dialog, &SelectDVD::addDVD);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(!dialog.okButton()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(added.size(), 1, 10000);
        const QString ripped = added[0][0].toStringList().value(0);
        QCOMPARE(added[0][1].toString(), "00:00:20");
        QVERIFY2(ripped.startsWith(product.temp()) && ripped.endsWith("/" + file), qPrintable(ripped));
        QTRY_VERIFY(!dialog.ripThread()->isRunning() && dialog.okButton()->isEnabled());
        QCOMPARE(prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestDvd)
#include "tst_dvd.moc"
