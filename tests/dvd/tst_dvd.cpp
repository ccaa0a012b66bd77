#include "app/selectdvd.h"
#include "disc/drives.h"
#include "disc/dvd/dvdripthread.h"
#include "disc/dvd/dvdvolume.h"
#include "disc/dvd/rippertext.h"
#include "platform/filenames.h"
#include "platform/tools.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

#include <optional>

namespace {

// Leftover frames in the PAL and NTSC titles, so that a length counted at the
// other frame rate shows.
const int kMilliseconds[] = {5600, 20000, 12900};

// Title lengths, the ticked one starred.
QString rows(const DvdTitles &titles)
{
    QStringList out;
    for (int t = 0; t < titles.lengths.size(); ++t)
        out << (t == titles.longest ? "*" : "") + dvdLengthText(titles.lengths.at(t));
    return out.join(' ');
}

// A rip thread whose signals read as one list.
struct Rip : DVDRipThread {
    Rip()
    {
        connect(this, &DVDRipThread::ripStarted, this, [this](int n) { events << QString("started %1").arg(n); });
        connect(this, &DVDRipThread::ripTitleStarted, this, [this](int i) { events << QString("title %1").arg(i); });
        connect(this, &DVDRipThread::progress, this, [this](int p) { events << QString::number(p); });
        connect(this, &DVDRipThread::ripTitleFinished, this, [this](const QString &path, const QString &length) {
            events << "done " + QFileInfo(path).fileName() + " " + length;
            paths << path;
        });
        connect(this, &DVDRipThread::ripComplete, this, [this] { events << "complete"; });
        connect(this, &DVDRipThread::error, this, [this](const QString &m) { events << "error " + m; });
    }
    QStringList events, paths;
};

} // namespace

// On a DVD-Video built here: titles of 5.6, 20 and 12.9 seconds (the last NTSC), each in its own
// title set so that a title's bytes are its VOB file's; a folder and an ISO image labelled MOVIE.
class TestDvd : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString disc() const { return dir.filePath("disc"); }
    QString vob(int t) const { return disc() + QString("/VIDEO_TS/VTS_%1_1.VOB").arg(t, 2, 10, QChar('0')); }
    QString source(const QString &kind) const
    {
        return kind == "iso" ? dir.filePath("movie.iso") : kind == "VIDEO_TS" ? disc() + "/VIDEO_TS"
               : kind == "folder"                        ? disc() : dir.filePath(kind);
    }

private slots:
    void initTestCase()
    {
        qputenv("VIDEO_FORMAT", "PAL");
        for (int t = 1; t <= 3; ++t) {
            const bool ntsc = t == 3;
            const QString mpg = dir.filePath(QString("t%1.mpg").arg(t));
            const QString picture = QString("color=size=") + (ntsc ? "720x480:rate=30000/1001" : "720x576:rate=25");
            QVERIFY(ffmpeg({"-f", "lavfi", "-i", picture, "-f", "lavfi", "-i", "sine", "-t",
                            QString::number(kMilliseconds[t - 1] / 1000.0), "-target", ntsc ? "ntsc-dvd" : "pal-dvd", "-aspect",
                            "4:3", mpg}));
            QVERIFY(runTool("dvdauthor", {"-o", disc(), "-t", mpg}));
        }
        QVERIFY(runTool("dvdauthor", {"-o", disc(), "-T"}));
        QVERIFY(runTool("genisoimage", {"-dvd-video", "-V", "MOVIE", "-o", source("iso"), disc()}));
        // The image cut short before the last title set: title 3's information is gone.
        const QByteArray image = readFile(source("iso"));
        const int lastSet = image.lastIndexOf("DVDVIDEO-VTS", image.lastIndexOf("DVDVIDEO-VTS") - 1);
        QVERIFY(lastSet > 0 && writeFile(source("cut.iso"), image.left(lastSet)));
    }

    // The real tool: a title's exact bytes, the listing and the name part of
    // each kind of source; or one line, a status and no file of its own when
    // it can't. An output name already taken by anything is left as it was.
    void realRipper_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("title");
        QTest::addColumn<QString>("out"); // what is at the output's name first
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text"); // the name part, or the message
        QTest::newRow("folder") << "folder" << 2 << "" << 0 << "disc";
        QTest::newRow("VIDEO_TS folder") << "VIDEO_TS" << 1 << "" << 0 << "disc";
        QTest::newRow("ISO image, NTSC title") << "iso" << 3 << "" << 0 << "MOVIE";
        QTest::newRow("no such title") << "folder" << 4 << "" << 3 << "title 4 does not exist (the disc has 3";
        QTest::newRow("missing source") << "nowhere" << 1 << "" << 2 << "cannot read";
        QTest::newRow("not a DVD") << "t1.mpg" << 1 << "" << 2 << "holds no readable DVD-Video";
        QTest::newRow("output folder missing") << "iso" << 1 << "no folder" << 4 << "No such file or directory";
        QTest::newRow("name taken by a file") << "iso" << 1 << "file" << 4 << "File exists";
        QTest::newRow("name taken by a dangling link") << "iso" << 1 << "link" << 4 << "File exists";
        QTest::newRow("write fails midway") << "iso" << 1 << "size limit" << 4 << "File too large";
        QTest::newRow("encrypted") << "scrambled" << 1 << "" << 6 << "install libdvdcss";
    }

    void realRipper()
    {
        QFETCH(QString, kind);
        QFETCH(int, title);
        QFETCH(QString, out);
        QFETCH(int, status);
        QFETCH(QString, text);
        if (kind == "scrambled") {
            // The disc as it reads undecrypted: video packets still marked scrambled.
            QVERIFY(runTool("cp", {"-r", disc(), source(kind)}));
            QByteArray data = readFile(vob(1));
            for (int at = 0x14; at < data.size(); at += 2048)
                data[at] = char(data[at] | 0x10);
            QVERIFY(writeFile(source(kind) + "/VIDEO_TS/VTS_01_1.VOB", data));
        }
        PathPrefix bin(MFS_TEST_BIN);
        QTemporaryDir work;
        const QString path = work.filePath(out == "no folder" ? "no/x.vob" : "x.vob");
        const QString elsewhere = work.filePath("elsewhere.vob");
        QVERIFY(out != "file" || writeFile(path, "keep"));
        QVERIFY(out != "link" || QFile::link(elsewhere, path));
        // Writes beyond 20 kB fail, as on a full disk.
        const QString limit = out == "size limit" ? "ulimit -f 40; trap '' XFSZ; " : "";
        const Tools::Run rip = Tools::run("sh", {"-c", limit + "exec \"$0\" \"$@\"", MFS_TEST_BIN "/ripper",
                                                 source(kind), QString::number(title), path}, 20000);
        QCOMPARE(rip.exitCode, status);
        if (status != 0) {
            QVERIFY2(rip.err.startsWith("ripper: ") && rip.err.contains(text.toUtf8()) && rip.err.count('\n') == 1,
                     rip.err);
            // Nothing of its own is left; what was there stays.
            QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                     out == "file" || out == "link" ? QStringList{"x.vob"} : QStringList());
            QVERIFY(out != "file" || readFile(path) == "keep");
            QVERIFY(out != "link" || QFileInfo(path).symLinkTarget() == elsewhere);
            return;
        }
        QVERIFY2(rip.err.isEmpty() && rip.out.startsWith("0%\b\b") && rip.out.endsWith("100%\n"), rip.out);
        QVERIFY(readFile(path) == readFile(vob(title)));
        const QStringList facts = streams(path).split(' ');
        QVERIFY2(facts.contains("mpeg2video") && qAbs(facts.last().toDouble() * 1000 - kMilliseconds[title - 1]) < 500,
                 qPrintable(facts.join(' ')));

        const Tools::Run listing = Tools::run("ripper", {source(kind)});
        QVERIFY2(listing.ok() && listing.err.isEmpty() && listing.out.startsWith("TITLES: 3\nTITLE_01\nLENGTH IN MS: "),
                 listing.out + listing.err);
        const DvdTitles titles = parseDvdListing(Tools::toolText(listing.out));
        for (int t = 0; t < 3; ++t)
            QVERIFY2(titles.lengths.size() == 3 && qAbs(titles.lengths[t] - kMilliseconds[t]) <= 20, listing.out);
        QCOMPARE(dvdSourceName(source(kind)), text);
    }

    // Damaged information files (FILE:bytes to cut it to, FILE:endless for a
    // cell claiming sectors 0 to 0xFFFFFFFF): the backup copy serves in the
    // file's place, and what neither serves is a prompt error, never a crash
    // or a hang.
    void damagedDisc_data()
    {
        QTest::addColumn<QStringList>("damage");
        QTest::addColumn<int>("listed");  // the listing's status
        QTest::addColumn<int>("title");   // copied
        QTest::addColumn<int>("copied");  // the copy's status
        QTest::addColumn<QString>("text"); // a part of the failures' line
        QTest::newRow("IFO cut to 2048 bytes") << QStringList{"VIDEO_TS.IFO:2048"} << 0 << 2 << 0 << "";
        QTest::newRow("IFO cut to 4095 bytes") << QStringList{"VIDEO_TS.IFO:4095"} << 0 << 3 << 0 << "";
        QTest::newRow("IFO and BUP cut") << QStringList{"VIDEO_TS.IFO:3000", "VIDEO_TS.BUP:3000"} << 2 << 1 << 2
                                         << "holds no readable DVD-Video";
        QTest::newRow("endless cell") << QStringList{"VTS_02_0.IFO:endless", "VTS_02_0.BUP:endless"} << 0 << 2 << 5
                                      << "the cell table of title 2 points beyond its video (sector 4294967295 of ";
    }

    void damagedDisc()
    {
        QFETCH(QStringList, damage);
        QFETCH(int, listed);
        QFETCH(int, title);
        QFETCH(int, copied);
        QFETCH(QString, text);
        QTemporaryDir work;
        const QString folder = work.filePath("VIDEO_TS");
        QVERIFY(runTool("cp", {"-r", disc() + "/VIDEO_TS", folder}));
        for (const QString &d : damage) {
            const QString file = folder + "/" + d.section(':', 0, 0), how = d.section(':', 1);
            QByteArray bytes = readFile(file);
            auto put32 = [&bytes](qint64 at, quint32 value) {
                for (int i = 0; i < 4; ++i)
                    bytes[at + i] = char(value >> (24 - 8 * i));
            };
            auto get = [&bytes](qint64 at, int width) {
                quint32 value = 0;
                for (int i = 0; i < width; ++i)
                    value = value << 8 | quint8(bytes[at + i]);
                return value;
            };
            if (how == "endless") {
                // The first cell of the title set's first program chain.
                const qint64 programs = get(0xcc, 4) * 2048, chain = programs + get(programs + 12, 4);
                const qint64 cell = chain + get(chain + 0xe8, 2);
                put32(cell + 8, 0);
                put32(cell + 20, 0xffffffff);
            } else {
                bytes.truncate(how.toInt());
            }
            QVERIFY(writeFile(file, bytes));
        }
        PathPrefix bin(MFS_TEST_BIN);
        const Tools::Run listing = Tools::run("ripper", {folder}, 10000);
        QCOMPARE(listing.exitCode, listed);
        QVERIFY2(listed == 2 || (listing.out.startsWith("TITLES: 3\n") && listing.out.count("LENGTH IN MS") == 3),
                 listing.out);
        QVERIFY2(listed == 0 ? listing.err.isEmpty() : listing.err.contains(text.toUtf8()), listing.err);
        const QString out = work.filePath("x.vob");
        QElapsedTimer clock;
        clock.start();
        const Tools::Run copy = Tools::run("ripper", {folder, QString::number(title), out}, 10000);
        QCOMPARE(copy.exitCode, copied);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY2(copied == 0 ? readFile(out) == readFile(vob(title)) : copy.err.contains(text.toUtf8()), copy.err);
        QCOMPARE(QFileInfo::exists(out), copied == 0);
    }

    // Output forms the real tool doesn't print.
    void listingForms_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("rows");
        QTest::newRow("equal lengths: the first ticked")
            << "TITLES: 3\nTITLE_01\nLENGTH IN MS: 5000\nTITLE_02\nLENGTH IN MS: 7200000\nTITLE_03\n"
               "LENGTH IN MS: 7200000\n" << "00:00:05 *02:00:00 02:00:00";
        QTest::newRow("one-digit count, CR LF, 999 ms")
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
        QTest::addColumn<QByteArray>("mode");  // the scripted stand-in's act, or another stand-in
        QTest::addColumn<int>("titles");
        QTest::addColumn<QString>("expected");  // the signals, progress as numbers
        auto row = [](const char *name, const char *mode, int titles, const char *expected) {
            QTest::newRow(name) << QByteArray(mode) << titles << QString(expected);
        };
        row("backspaces, two updates in a chunk", "progress", 1,
            "started 1|title 1|6|47|done DVD_Title_1.vob 00:00:01|complete");
        row("half of title 2 of 2", "half", 2,
            "started 2|title 1|done DVD_Title_1.vob 00:00:01|title 2|75|done DVD_Title_2.vob 00:00:02|complete");
        row("cancel in the first of three", "hang", 3, "started 3|title 1|error Rip was cancelled!");
        row("failing titles go on", "fail", 3,
            "started 3|title 1|error Cannot rip title 1: ripper: cannot read block 16 of title 1 (the disc may be "
            "encrypted)|title 2|error Cannot rip title 2: ripper wrote no file|title 3|done DVD_Title_3.vob 00:00:03|"
            "complete");
        row("stuck tool ended", "stuck", 2,
            "started 2|title 1|0|error Cannot rip title 1: ripper wrote nothing for 1 s|title 2|"
            "done DVD_Title_2.vob 00:00:02|complete");
        row("crashing tool", "crash", 1,
            "started 1|title 1|error Cannot rip title 1: the DVD's structure is damaged: ripper crashed reading it|"
            "complete");
        row("name taken: left alone", "taken", 1,
            "started 1|title 1|error Cannot rip title 1: ripper: cannot write the title: File exists|complete");
        row("tool missing", "missing", 2,
            "started 2|title 1|error The DVD ripper \"ripper\" could not be found. Please reinstall MediaForgeStudio.");
        row("tool never starts", "unstartable", 2,
            "started 2|title 1|error The DVD ripper \"ripper\" could not be started: execvp: No such file or directory");
    }

    void ripThread()
    {
        QFETCH(QByteArray, mode);
        QFETCH(int, titles);
        QFETCH(QString, expected);
        ScratchProduct product;
        const QString dir = product.appData();
        StandIn tool(mode, dir);
        Rip rip;
        // The window's case (a new rip folder) in the first row, a given folder in the others.
        const QString folder = mode == "progress" ? product.temp() : dir + "/out";
        if (mode != "progress")
            rip.setDestination(folder);
        const QString first = folder + "/DVD_Title_1.vob";
        QVERIFY(mode != "taken" || writeFile(first, "keep"));
        if (mode == "stuck")
            rip.setStallLimit(1000);
        rip.setTitles("/dev/sr9", QStringList({"1", "2", "3"}).mid(0, titles), "",
                      QStringList({"00:00:01", "00:00:02", "00:00:03"}).mid(0, titles));
        rip.start();
        if (mode == "hang") {
            QTRY_VERIFY(tool.alive("ripper"));
            rip.running = false;
        }
        const QDeadlineTimer killed(1300);
        QTRY_COMPARE_WITH_TIMEOUT(rip.events.join('|'), expected, 10000);
        QVERIFY(rip.wait(2000));
        // A cancel kills the tool within a wait step and starts no other title.
        QVERIFY(mode != "hang" || (!killed.hasExpired() && !tool.alive("ripper")));
        QVERIFY(mode != "hang" || readFile(dir + "/args").count('\n') == 1);
        for (const QString &path : rip.paths)
            QVERIFY2(path.startsWith(folder) && readFile(path) == "data\n", qPrintable(path));
        // A title's name holds its copy or what was there before, never a cut-off file.
        QVERIFY(mode == "progress" || FileNames::taken(first) == (mode == "half" || mode == "taken"));
        QVERIFY(mode != "taken" || readFile(first) == "keep");
        QVERIFY(!tool.alive("ripper"));
        const QString log = readFile(product.temp() + "log.txt");
        QVERIFY2(mode != "fail" || (log.contains("Cannot rip title 1 of /dev/sr9: ripper: cannot read block 16")
                                    && log.contains("Cannot rip title 2 of /dev/sr9: ripper wrote no file")), qPrintable(log));
    }

    // The dialog on the real tool: a drive, or a chosen image or folder; what
    // it says when it finds no titles ("%S" the source), and OK without a
    // ticked title, which must leave it usable.
    void dialog_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("said");
        QTest::newRow("drive with a label") << "drive" << "iso" << "MOVIE" << "";
        QTest::newRow("drive without a label") << "drive" << "folder" << "" << "";
        QTest::newRow("image") << "image" << "iso" << "MOVIE" << "";
        QTest::newRow("VIDEO_TS folder") << "folder" << "VIDEO_TS" << "disc" << "";
        QTest::newRow("folder without a DVD") << "folder" << "empty" << "empty"
                                              << "No DVD titles were found in %S.\n\nripper: %S holds no readable DVD-Video";
        QTest::newRow("image cut short") << "image" << "cut.iso" << "MOVIE"
                                         << "Cannot read the titles of %S: ripper: cannot read the information of title 3";
        QTest::newRow("tool crashes") << "image" << "crash" << "crash"
                                      << "Cannot read the titles of %S: the DVD's structure is damaged: ripper crashed "
                                         "reading it.";
    }

    void dialog()
    {
        QFETCH(QString, how);
        QFETCH(QString, kind);
        QFETCH(QString, label);
        QFETCH(QString, said);
        PromptRecorder prompts;
        QTemporaryDir scratch;
        std::optional<PathPrefix> bin;
        std::optional<StandIn> crashing;
        if (kind == "crash")
            crashing.emplace("crash", scratch.path());
        else
            bin.emplace(MFS_TEST_BIN);
        QDir().mkpath(source("empty"));
        Drives::setLister([&] { return how == "drive" ? QStringList{source(kind)} : QStringList{}; });
        SelectDVD dialog;
        dialog.scanDrives();
        Drives::setLister({});
        prompts.fileAnswers << QStringList{source(kind)};
        prompts.folderAnswers << source(kind);
        if (how != "drive")
            QTest::mouseClick(how == "image" ? dialog.openImageButton() : dialog.openFolderButton(), Qt::LeftButton);
        QCOMPARE(dialog.driveCombo()->currentText(), source(kind) + " " + label);
        QCOMPARE(tickedRows(dialog.itemTree()), said.isEmpty() ? QStringList({"- Title 1 0:05",
                                                                              "x Title 2 0:20",
                                                                              "- Title 3 0:12"}) : QStringList());
        QStringList boxes;
        if (!said.isEmpty())
            boxes << QString(said).replace("%S", source(kind));
        QCOMPARE(prompts.texts(), boxes);
        // Centred on the dialog they are about.
        for (const Prompts::Box &box : std::as_const(prompts.boxes))
            QCOMPARE(box.parent, &dialog);

        QTest::mouseClick(dialog.selectNoneButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        boxes << (said.isEmpty() ? "Tick the titles to rip first."
                                 : "There are no DVD titles to rip. Choose a drive with a DVD in it, or open a DVD "
                                   "folder or image.");
        QCOMPARE(prompts.texts(), boxes);
        QVERIFY(dialog.okButton()->isEnabled() && dialog.driveCombo()->isEnabled() && dialog.itemTree()->isEnabled());
        QVERIFY(!dialog.ripThread()->isRunning());
        // The next opening of the dialog still lists what was opened in this
        // session, chosen as before; a drive that went is gone.
        Drives::setLister([] { return QStringList{}; });
        dialog.scanDrives();
        Drives::setLister({});
        QCOMPARE(dialog.driveCombo()->currentText(), how == "drive" ? QString() : source(kind) + " " + label);
    }
};

QTEST_MAIN(TestDvd)
#include "tst_dvd.moc"
