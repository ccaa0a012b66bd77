// On a DVD-Video built here: titles of 5.6, 20 and 12.9 seconds (the last NTSC), each in its own
// title set so that a title's bytes are its VOB file's; a folder and an ISO image labelled MOVIE.
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

// Leftover frames in the PAL and NTSC titles, so that a length counted at the other rate shows.
const int kMilliseconds[] = {5600, 20000, 12900};

// The real tool copying a title from a source of `kind` ("damaged": a fresh copy of the disc's
// folder, FILE:bytes cutting one of its information files, FILE:endless giving it a cell claiming
// sectors 0 to 0xFFFFFFFF) with `out` at the output's name first: the listing's and the copy's
// status, and the source's name part or a part of the one line of error.
struct RipRun { QString kind; QStringList damage; int title; QString out; int listed, copied; QString text; };
// A listing and the lengths it gives, the ticked one starred.
struct Form { QString output, rows; };
// The scripted stand-in's act (or another stand-in), the titles, the signals.
struct Act { QByteArray mode; int titles; QString expected; };
// How the dialog gets its source, of what kind, the label shown and the box it raises ("%S" the source).
struct Opening { QString how, kind, label, said; };

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

class TestDvd : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString disc() const { return dir.filePath("disc"); }
    QString vob(int t) const { return disc() + QString("/VIDEO_TS/VTS_%1_1.VOB").arg(t, 2, 10, QChar('0')); }
    QString source(const QString &kind) const
    {
        static const QMap<QString, QString> paths{
            {"iso", "movie.iso"}, {"folder", "disc"}, {"VIDEO_TS", "disc/VIDEO_TS"}, {"damaged", "damaged/VIDEO_TS"}};
        return dir.filePath(paths.value(kind, kind));
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
                            QString::number(kMilliseconds[t - 1] / 1000.0), "-target", ntsc ? "ntsc-dvd" : "pal-dvd",
                            "-aspect", "4:3", mpg}));
            QVERIFY(runTool("dvdauthor", {"-o", disc(), "-t", mpg}));
        }
        QVERIFY(runTool("dvdauthor", {"-o", disc(), "-T"}));
        QVERIFY(runTool("genisoimage", {"-dvd-video", "-V", "MOVIE", "-o", source("iso"), disc()}));
        // The image cut short before the last title set: title 3's information is gone.
        const QByteArray image = readFile(source("iso"));
        const int lastSet = image.lastIndexOf("DVDVIDEO-VTS", image.lastIndexOf("DVDVIDEO-VTS") - 1);
        QVERIFY(lastSet > 0 && writeFile(source("cut.iso"), image.left(lastSet)));
        // The disc as it reads undecrypted: video packets still marked scrambled.
        QVERIFY(runTool("cp", {"-r", disc(), source("scrambled")}));
        QByteArray data = readFile(vob(1));
        for (int at = 0x14; at < data.size(); at += 2048)
            data[at] = char(data[at] | 0x10);
        QVERIFY(writeFile(source("scrambled") + "/VIDEO_TS/VTS_01_1.VOB", data));
    }

    // A title's exact bytes, the listing and the name part of each kind of source; or one line, a
    // status and no file of its own when it can't. The backup copy serves in a damaged file's place;
    // what neither serves is a prompt error, never a crash or a hang.
    void realRipper_data()
    {
        addRows<RipRun>("r", {
            {"folder", {"folder", {}, 2, "", 0, 0, "disc"}},
            {"VIDEO_TS folder", {"VIDEO_TS", {}, 1, "", 0, 0, "disc"}},
            {"ISO image, NTSC title", {"iso", {}, 3, "", 0, 0, "MOVIE"}},
            {"no such title", {"folder", {}, 4, "", 0, 3, "title 4 does not exist (the disc has 3"}},
            {"missing source", {"nowhere", {}, 1, "", 2, 2, "cannot read"}},
            {"not a DVD", {"t1.mpg", {}, 1, "", 2, 2, "holds no readable DVD-Video"}},
            {"name taken by a file", {"iso", {}, 1, "file", 0, 4, "File exists"}},
            {"name taken by a dangling link", {"iso", {}, 1, "link", 0, 4, "File exists"}},
            {"write fails midway", {"iso", {}, 1, "size limit", 0, 4, "File too large"}},
            {"encrypted", {"scrambled", {}, 1, "", 0, 6, "install libdvdcss"}},
            {"IFO cut to 2048 bytes", {"damaged", {"VIDEO_TS.IFO:2048"}, 2, "", 0, 0, "damaged"}},
            {"IFO cut to 4095 bytes", {"damaged", {"VIDEO_TS.IFO:4095"}, 3, "", 0, 0, "damaged"}},
            {"IFO and BUP cut", {"damaged", {"VIDEO_TS.IFO:3000", "VIDEO_TS.BUP:3000"}, 1, "", 2, 2,
                                 "holds no readable DVD-Video"}},
            {"endless cell", {"damaged", {"VTS_02_0.IFO:endless", "VTS_02_0.BUP:endless"}, 2, "", 0, 5,
                              "the cell table of title 2 points beyond its video (sector 4294967295 of "}}});
    }

    void realRipper()
    {
        QFETCH(RipRun, r);
        const QString from = source(r.kind);
        if (r.kind == "damaged")
            QVERIFY(QDir(dir.filePath("damaged")).removeRecursively() && QDir().mkpath(dir.filePath("damaged"))
                    && runTool("cp", {"-r", disc() + "/VIDEO_TS", from}));
        for (const QString &damage : r.damage) {
            const QString file = from + "/" + damage.section(':', 0, 0), how = damage.section(':', 1);
            QByteArray bytes = readFile(file);
            if (how == "endless") {
                // The first cell of the title set's first program chain.
                const char *at = bytes.constData();
                const qint64 programs = qFromBigEndian<quint32>(at + 0xcc) * 2048;
                const qint64 chain = programs + qFromBigEndian<quint32>(at + programs + 12);
                const qint64 cell = chain + qFromBigEndian<quint16>(at + chain + 0xe8);
                qToBigEndian<quint32>(0, bytes.data() + cell + 8);
                qToBigEndian<quint32>(0xffffffff, bytes.data() + cell + 20);
            } else {
                bytes.truncate(how.toInt());
            }
            QVERIFY(writeFile(file, bytes));
        }
        PathPrefix bin(MFS_TEST_BIN);
        const Tools::Run listing = Tools::run("ripper", {from}, 10000);
        QCOMPARE(listing.exitCode, r.listed);
        QVERIFY2(r.listed ? listing.err.contains(r.text.toUtf8())
                          : listing.err.isEmpty() && listing.out.startsWith("TITLES: 3\nTITLE_01\nLENGTH IN MS: "),
                 listing.out + listing.err);
        const DvdTitles titles = parseDvdListing(Tools::toolText(listing.out));
        for (int t = 0; t < 3 && !r.listed; ++t)
            QVERIFY2(titles.lengths.size() == 3 && qAbs(titles.lengths[t] - kMilliseconds[t]) <= 20, listing.out);

        QTemporaryDir work;
        const QString path = work.filePath("x.vob"), elsewhere = work.filePath("elsewhere.vob");
        QVERIFY(r.out != "file" || writeFile(path, "keep"));
        QVERIFY(r.out != "link" || QFile::link(elsewhere, path));
        // Writes beyond 20 kB fail, as on a full disk.
        const QString limit = r.out == "size limit" ? "ulimit -f 40; trap '' XFSZ; " : "";
        const QDeadlineTimer prompt(5000);
        const Tools::Run rip = Tools::run("sh", {"-c", limit + "exec \"$0\" \"$@\"", MFS_TEST_BIN "/ripper", from,
                                                 QString::number(r.title), path}, 20000);
        QCOMPARE(rip.exitCode, r.copied);
        QVERIFY(!prompt.hasExpired());
        if (r.copied != 0) {
            QVERIFY2(rip.err.startsWith("ripper: ") && rip.err.contains(r.text.toUtf8()) && rip.err.count('\n') == 1,
                     rip.err);
            // Nothing of its own is left; what was there stays.
            QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                     r.out == "file" || r.out == "link" ? QStringList{"x.vob"} : QStringList());
            QVERIFY(r.out != "file" || readFile(path) == "keep");
            QVERIFY(r.out != "link" || QFileInfo(path).symLinkTarget() == elsewhere);
            return;
        }
        QVERIFY2(rip.err.isEmpty() && rip.out.startsWith("0%\b\b") && rip.out.endsWith("100%\n"), rip.out);
        QVERIFY(readFile(path) == readFile(vob(r.title)));
        QCOMPARE(dvdSourceName(from), r.text);
    }

    // Output forms the real tool doesn't print.
    void listingForms_data()
    {
        addRows<Form>("f", {
            {"equal lengths: the first ticked", {"TITLES: 3\nTITLE_01\nLENGTH IN MS: 5000\nTITLE_02\nLENGTH IN MS: "
                "7200000\nTITLE_03\nLENGTH IN MS: 7200000\n", "00:00:05 *02:00:00 02:00:00"}},
            {"one-digit count, CR LF, 999 ms", {"TITLES: 2\r\nTITLE_01\r\nLENGTH IN MS: 999\r\nTITLE_02\r\n"
                "LENGTH IN MS: 1000\r\n", "00:00:00 *00:00:01"}},
            {"entries out of order, other words", {"junk TITLES: 12\nTITLE_02 LENGTH in ms: 3000\nTITLE_01 LENGTH "
                "in ms: 4000\n", "*00:00:04 00:00:03 " + QStringList(10, "00:00:00").join(' ')}},
            {"missing length takes not the next one's", {"TITLES: 2\nTITLE_01\nTITLE_02\nLENGTH IN MS: 3000\n",
                "00:00:00 *00:00:03"}},
            {"time-out: what came so far", {"TITLES: 3\nTITLE_01\nLENGTH IN MS: 5000\nTITLE_02\nLENGTH IN MS: 72",
                "*00:00:05 00:00:00 00:00:00"}},
            {"count glued to the keyword", {"TITLES:3\nTITLE_01\nLENGTH IN MS: 5000\n", ""}}});
    }

    void listingForms()
    {
        QFETCH(Form, f);
        const DvdTitles titles = parseDvdListing(f.output);
        QStringList shown;
        for (int t = 0; t < titles.lengths.size(); ++t)
            shown << (t == titles.longest ? "*" : "") + dvdLengthText(titles.lengths.at(t));
        QCOMPARE(shown.join(' '), f.rows);
    }

    // The rip thread with a stand-in for the tool (tests/data/stand-ins), progress as numbers.
    void ripThread_data()
    {
        addRows<Act>("act", {
            {"backspaces, two updates in a chunk", {"progress", 1,
                "started 1|title 1|6|47|done DVD_Title_1.vob 00:00:01|complete"}},
            {"half of title 2 of 2", {"half", 2,
                "started 2|title 1|done DVD_Title_1.vob 00:00:01|title 2|75|done DVD_Title_2.vob 00:00:02|complete"}},
            {"cancel in the first of three", {"hang", 3, "started 3|title 1|error Rip was cancelled!"}},
            {"failing titles go on", {"fail", 3,
                "started 3|title 1|error Cannot rip title 1: ripper: cannot read block 16 of title 1 (the disc may be "
                "encrypted)|title 2|error Cannot rip title 2: ripper wrote no file|title 3|done DVD_Title_3.vob "
                "00:00:03|complete"}},
            {"stuck tool ended", {"stuck", 2, "started 2|title 1|0|error Cannot rip title 1: ripper wrote nothing "
                "for 1 s|title 2|done DVD_Title_2.vob 00:00:02|complete"}},
            {"crashing tool", {"crash", 1, "started 1|title 1|error Cannot rip title 1: the DVD's structure is "
                "damaged: ripper crashed reading it|complete"}},
            {"name taken: left alone", {"taken", 1,
                "started 1|title 1|error Cannot rip title 1: ripper: cannot write the title: File exists|complete"}},
            {"tool missing", {"missing", 2, "started 2|title 1|error The DVD ripper \"ripper\" could not be found. "
                "Please reinstall MediaForgeStudio."}},
            {"tool never starts", {"unstartable", 2, "started 2|title 1|error The DVD ripper \"ripper\" could not "
                "be started: execvp: No such file or directory"}}});
    }

    void ripThread()
    {
        QFETCH(Act, act);
        const QByteArray mode = act.mode;
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
        rip.setTitles("/dev/sr9", QStringList({"1", "2", "3"}).mid(0, act.titles), "",
                      QStringList({"00:00:01", "00:00:02", "00:00:03"}).mid(0, act.titles));
        rip.start();
        if (mode == "hang") {
            QTRY_VERIFY(tool.alive("ripper"));
            rip.running = false;
        }
        const QDeadlineTimer killed(1300);
        QTRY_COMPARE_WITH_TIMEOUT(rip.events.join('|'), act.expected, 10000);
        QVERIFY(rip.wait(2000));
        QVERIFY(!tool.alive("ripper"));
        // A cancel kills the tool within a wait step and starts no other title.
        QVERIFY(mode != "hang" || (!killed.hasExpired() && readFile(dir + "/args").count('\n') == 1));
        for (const QString &path : rip.paths)
            QVERIFY2(path.startsWith(folder) && readFile(path) == "data\n", qPrintable(path));
        // A title's name holds its copy or what was there before, never a cut-off file.
        QVERIFY(mode == "progress" || FileNames::taken(first) == (mode == "half" || mode == "taken"));
        QVERIFY(mode != "taken" || readFile(first) == "keep");
        const QString log = readFile(product.temp() + "log.txt");
        QVERIFY2(mode != "fail" || (log.contains("Cannot rip title 1 of /dev/sr9: ripper: cannot read block 16")
                                    && log.contains("Cannot rip title 2 of /dev/sr9: ripper wrote no file")),
                 qPrintable(log));
    }

    // The dialog on the real tool: a drive, or a chosen image or folder, and
    // OK without a ticked title, which must leave it usable.
    void dialog_data()
    {
        addRows<Opening>("o", {{"drive with a label", {"drive", "iso", "MOVIE", ""}},
                               {"VIDEO_TS folder", {"folder", "VIDEO_TS", "disc", ""}},
                               {"folder without a DVD", {"folder", "empty", "empty", "No DVD titles were found in %S."
                                                         "\n\nripper: %S holds no readable DVD-Video"}},
                               {"image cut short", {"image", "cut.iso", "MOVIE", "Cannot read the titles of %S: "
                                                    "ripper: cannot read the information of title 3"}},
                               {"tool crashes", {"image", "crash", "crash", "Cannot read the titles of %S: the DVD's "
                                                 "structure is damaged: ripper crashed reading it."}}});
    }

    void dialog()
    {
        QFETCH(Opening, o);
        PromptRecorder prompts;
        QTemporaryDir scratch;
        std::optional<PathPrefix> bin;
        std::optional<StandIn> crashing;
        if (o.kind == "crash")
            crashing.emplace("crash", scratch.path());
        else
            bin.emplace(MFS_TEST_BIN);
        QDir().mkpath(source("empty"));
        Drives::setLister([&] { return o.how == "drive" ? QStringList{source(o.kind)} : QStringList{}; });
        SelectDVD dialog;
        dialog.scanDrives();
        Drives::setLister({});
        prompts.fileAnswers << QStringList{source(o.kind)};
        prompts.folderAnswers << source(o.kind);
        if (o.how != "drive")
            QTest::mouseClick(o.how == "image" ? dialog.openImageButton() : dialog.openFolderButton(), Qt::LeftButton);
        QCOMPARE(dialog.driveCombo()->currentText(), source(o.kind) + " " + o.label);
        const QStringList listed{"- Title 1 0:05", "x Title 2 0:20", "- Title 3 0:12"};
        QCOMPARE(tickedRows(dialog.itemTree()), o.said.isEmpty() ? listed : QStringList());
        const QString said = QString(o.said).replace("%S", source(o.kind));
        QStringList boxes = said.isEmpty() ? QStringList() : QStringList{said};
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
        // The next opening still lists what was opened in this session, chosen
        // as before; a drive that went is gone.
        Drives::setLister([] { return QStringList{}; });
        dialog.scanDrives();
        Drives::setLister({});
        QCOMPARE(dialog.driveCombo()->currentText(), o.how == "drive" ? QString() : source(o.kind) + " " + o.label);
    }
};

QTEST_MAIN(TestDvd)
#include "tst_dvd.moc"
