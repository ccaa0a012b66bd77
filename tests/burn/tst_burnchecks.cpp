#include "app/selectdrive.h"
#include "burnsupport.h"
#include "catalogue/catalogue.h"
#include "disc/burn/burndisc.h"
#include "disc/burn/burnparse.h"
#include "disc/burn/cdtext.h"
#include "disc/burn/disccheck.h"
#include "disc/cd/discname.h"
#include "disc/drives.h"
#include "disc/dvd/dvdvolume.h"
#include "media/commandline.h"
#include "platform/tools.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

namespace {
QString transcript(const QString &name)
{
    return QString::fromLatin1(readFile(testData("transcripts/" + name)));
}
const QString node = "/dev/sr99";
const QString notBlank = "Please insert a blank DVD into the selected drive";
const QString tooSmall = "The disc is not large enough.\n\nA Single Layer disc can hold 2 hours of video\n"
                         "while a Dual Layer disc can hold 3.5 hours.";
const QStringList dvdTools{"growisofs", "dvd+rw-mediainfo"}, cdTools{"cdrskin", "mfs-cdstate"};

// A disc check: its disc and device, the tools on PATH, what the stand-ins
// play, the free room (blocks of a DVD, seconds of a CD), the run's length,
// and the answer's start ("" passes).
struct DiscCase { QString disc, id; QStringList tools; QByteArray mode, free; int seconds; QString answer; };
// The drive dialog: the entry chosen, the file dialog's answer, a file already
// there, and the device chosen ("" when the dialog stays open).
struct DialogCase { QString disc; QByteArray mode; int entry; QString save, existing, chosen; QStringList boxes; };

struct Outcome {
    QStringList progress, status, estimates;
    bool ok = false;
    QString device, reason;
};

// Runs one burn to its end and keeps everything it said.
Outcome burn(const QString &disc, const QString &device, const QString &folder, const QString &standard,
             const DiscOptions &options = {}, const QList<DiscItem> &items = {})
{
    BurnDisc burner;
    burner.setTimings({100, 100, 100, 5000, 0});
    burner.setJob(disc, device, folder, standard);
    burner.setOptions(options);
    burner.setItems(items);
    QSignalSpy done(&burner, &BurnDisc::burnComplete), progress(&burner, &BurnDisc::burnProgress),
        status(&burner, &BurnDisc::textStatus), estimates(&burner, &BurnDisc::burnEstTime);
    burner.start();
    Outcome out;
    if (!done.wait(60000))
        return out;
    for (auto [spy, list] : {std::pair{&progress, &out.progress}, {&status, &out.status}, {&estimates, &out.estimates}})
        for (const QList<QVariant> &signal : *spy)
            *list << signal[0].toString();
    out.ok = done[0][0].toBool();
    out.device = done[0][1].toString();
    out.reason = done[0][2].toString();
    return out;
}

// CD-TEXT as libcdio reads it from a file of packs: the album's title and
// performer, then each track's, as "title/performer".
QStringList cdTextOf(const QByteArray &file, int tracks)
{
    QStringList texts;
    cdtext_t *text = cdtext_init();
    QByteArray packs = file.mid(4);
    if (cdtext_data_init(text, reinterpret_cast<uint8_t *>(packs.data()), size_t(packs.size())) == 0) {
        for (int t = 0; t <= tracks; ++t)
            texts << QString::fromUtf8(cdtext_get_const(text, CDTEXT_FIELD_TITLE, track_t(t))) + "/"
                         + QString::fromUtf8(cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, track_t(t)));
    }
    cdtext_destroy(text);
    return texts;
}

// The chapters of each title of a DVD-Video, as libdvdread reads them.
QList<int> chaptersOf(const QString &source)
{
    QList<int> chapters;
    dvd_reader_t *dvd = DVDOpen(QFile::encodeName(source).constData());
    ifo_handle_t *vmg = dvd ? ifoOpen(dvd, 0) : nullptr;
    for (int t = 0; vmg && t < vmg->tt_srpt->nr_of_srpts; ++t)
        chapters << vmg->tt_srpt->title[t].nr_of_ptts;
    if (vmg)
        ifoClose(vmg);
    if (dvd)
        DVDClose(dvd);
    return chapters;
}
} // namespace

// The tools' text as the burner reads it, the disc checks over the tools'
// stand-ins, the CD-state tool itself, the burner dialog; burns with the real
// dvdauthor, and a CD image read back with libcdio.
class TestBurnChecks : public QObject
{
    Q_OBJECT
    ScratchProduct product;
    QTemporaryDir work;
    const QStringList titles{"b.mpg", "c.mpg", "a.mpg"}, tracks{"z.wav", "a.wav"};
    int folders = 0;

    // A staging folder holding copies of `files`, made in that order.
    QString staging(const QStringList &files)
    {
        const QString folder = product.temp() + QString::number(++folders);
        QDir().mkpath(folder);
        for (const QString &f : files) {
            QFile::copy(work.filePath(f), folder + "/" + f);
            QThread::msleep(30); // file times move in steps of a clock tick
        }
        return folder;
    }
    qint64 size(const QString &file) { return QFileInfo(work.filePath(file)).size(); }

private slots:
    void initTestCase()
    {
        // Titles of 1, 2 and 3 s by the catalogue's first PAL preset, c with sound only.
        Catalogue::open(product.catalogue());
        const QString pal = Catalogue::outputModel("7").at(8);
        Catalogue::close();
        const QStringList video{"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-f", "lavfi", "-i", "sine"};
        QVERIFY(ffmpeg(video + QStringList{"-t", "1"} + buildPresetArguments(pal, "320x240") << work.filePath("b.mpg")));
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "sine=d=2", work.filePath("c.wav")}));
        QVERIFY(ffmpeg(QStringList{"-i", work.filePath("c.wav")} + buildPresetArguments(pal, "") << work.filePath("c.mpg")));
        QVERIFY(ffmpeg(video + QStringList{"-t", "3"} + buildPresetArguments(pal, "320x240") << work.filePath("a.mpg")));
        // Long enough for a chapter a minute in: small and plain, so quick to make.
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "color=size=352x288:rate=25", "-f", "lavfi", "-i", "anullsrc=r=48000",
                        "-t", "66", "-target", "pal-dvd", "-s", "352x288", "-b:v", "200k", work.filePath("long.mpg")}));
        // Tracks by the CD preset, lengths off the sector grid.
        for (const auto &[name, tone] : {std::pair{"z.wav", "sine=f=440:d=2.007"}, {"a.wav", "sine=f=880:d=1.013"}})
            QVERIFY(ffmpeg({"-f", "lavfi", "-i", tone, "-vn", "-ac", "2", "-ar", "44100", "-c:a", "pcm_s16le",
                            work.filePath(name)}));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("context"); // the run's bytes, the track count known so far, or the run's seconds
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *tool, const QString &text, int context, const char *expected) {
            QTest::newRow(name) << tool << text << context << expected;
        };
        row("350 of 700 MB", "dvdauthor", "STAT: VOBU 2101 at 350MB, 1 PGCs\r", 700 << 20, "5");
        row("fixing at 27%", "dvdauthor", "STAT: fixing VOBU at 12MB (500/1852, 27%)\r", 700 << 20, "12");
        row("whole real run", "dvdauthor", transcript("dvdauthor-pal.txt"), 3342336, "19");
        row("under 1 MiB", "dvdauthor", "STAT: VOBU 16 at 1MB, 1 PGCs\r", 1000000, "-1");
        row("1e300%", "dvdauthor", "STAT: fixing VOBU at 1MB (1/1, 1e300%)\r", 700 << 20, "20");
        // 3723 s after the test's "now", with ctime's padded day.
        row("45.67%", "growisofs", " 45.67% done, estimate finish Sun Dec  6 19:02:03 2026\n", 0,
            "45 Time remaining: 62:03 (approx.)");
        row("image made", "growisofs", transcript("genisoimage-dvd-video.txt"), 0, "98 closing");
        row("40e8% done", "growisofs", "40e8% done", 0, "100");
        row("image burned", "growisofs", transcript("growisofs-image-burn.txt"), 0, "96 Time remaining: 00:07 (approx.)");
        row("no estimate yet", "growisofs", "   3964928/1095487488 ( 0.4%) @0x, remaining ??:?? RBU 100.0%\n", 0, "0");
        row("disc closing", "growisofs", "/dev/sr0: flushing cache\n", 0, "-1 closing");
        row("no chapters but the start", "chapters", "3600", 0, "0");
        row("none in the last seconds", "chapters", "304", 5, "0");
        row("every 5 minutes", "chapters", "606", 5, "0,5:00,10:00");
        row("past an hour", "chapters", "3700", 30, "0,30:00,1:00:00");
        row("label of a name", "label", "Été à Paris 2024", 0, "ETE_A_PARIS_2024");
        row("label of no letters", "label", "日本", 0, "DVD_VIDEO");
        row("long label", "label", QString(40, 'x'), 0, QString(32, 'X').toLatin1().constData());
        row("bare ERR: line", "error line", "ie\nERR: ", 0, "ie");
        row("CD-state tool says nothing", "CD state", "\n", 60,
            "The CD in drive /dev/sr99 could not be checked: mfs-cdstate gave no answer.");
        row("3 of 4 at 10 of 40", "cdrecord", "\rTrack 03:   10 of   40 MB written (fifo 100%) [buf  99%]  16.0x.", 4,
            "55");
        row("count not known yet", "cdrecord", "Track 01:    1 of   34 MB written", -1, "-1");
        row("cdrskin's columns", "cdrecord", transcript("cdrskin-pseudo-drive-data.out.txt").section('\n', 14, 14), 1,
            "84");
    }
    void parse()
    {
        QFETCH(QString, tool);
        QFETCH(QString, text);
        QFETCH(int, context);
        QFETCH(QString, expected);
        QString got;
        if (tool == "dvdauthor") {
            got = QString::number(BurnParse::authoringProgress(text, context));
        } else if (tool == "error line") {
            got = BurnParse::lastErrorLine(text);
        } else if (tool == "CD state") {
            got = BurnParse::cdVerdict(text, context, node);
        } else if (tool == "chapters") {
            got = DiscPlan::chapterMarks(text.toInt(), context);
        } else if (tool == "label") {
            got = DiscPlan::volumeLabel(text);
        } else if (tool == "growisofs") {
            const auto r = BurnParse::isoReport(text, QDateTime(QDate(2026, 12, 6), QTime(18, 0)));
            got = QString::number(r.percent) + (r.closing ? " closing" : "") + (r.timeLeft.isEmpty() ? "" : " ")
                  + r.timeLeft;
        } else {
            const auto r = BurnParse::cdReport(text);
            got = QString::number(r.hasTrack ? BurnParse::cdProgress(r.track, r.written, r.size, context) : -1);
        }
        QCOMPARE(got, expected);
    }

    void checkDisc_data()
    {
        QTest::addColumn<DiscCase>("c");
        auto row = [](const char *name, const char *disc, QStringList tools, const char *mode, const char *free,
                      int seconds, QString answer, QString id = node) {
            QTest::newRow(name) << DiscCase{disc, id, tools, mode, free, seconds, answer};
        };
        row("2 h on any blank DVD", "dvd", dvdTools, "blank-dvd-r", "", 7200, "");
        row("7201 s, 2297888 blocks", "dvd", dvdTools, "blank-dvd-r", "2297888", 7201, tooSmall);
        row("7201 s, 2297889 blocks", "dvd", dvdTools, "blank-dvd-r", "2297889", 7201, "");
        row("12601 s on DL", "dvd", dvdTools, "blank-dvd+r-dl", "", 12601, tooSmall);
        row("DVD not blank", "dvd", dvdTools, "appendable-dvd-r", "", 60, notBlank);
        row("no dvd+rw-mediainfo", "dvd", {"growisofs"}, "", "", 60,
            "Burning a DVD needs dvd+rw-mediainfo, which is not installed. Please install the Debian package "
            "dvd+rw-tools.");
        row("dvd+rw-mediainfo can't start", "dvd", {"growisofs", "!dvd+rw-mediainfo"}, "", "", 60,
            "dvd+rw-mediainfo could not be started");
        row("CD as long as free", "cd", cdTools, "blank", "600", 600, "The disc in drive /dev/sr99 is not large enough.");
        row("CD one second less", "cd", cdTools, "blank", "600", 599, "");
        row("wodim when no cdrskin", "cd", {"wodim", "mfs-cdstate"}, "blank", "600", 599, "");
        row("CD not blank", "cd", cdTools, "full", "", 60, "The CD in drive /dev/sr99 is not blank");
        row("no DISC_STATUS (the real tool)", "cd", {"cdrskin", "@mfs-cdstate"}, "", "", 60,
            "No CD writer answers at /dev/sr99.\n");
        row("no answer", "cd", cdTools, "silent", "", 60,
            "The CD in drive /dev/sr99 could not be checked: mfs-cdstate gave no answer.");
        row("no CD burner", "cd", {"mfs-cdstate"}, "blank", "600", 60, "Burning an audio CD needs cdrskin or wodim");
        row("no state tool", "cd", {"cdrskin"}, "", "", 60, "Checking the CD needs mfs-cdstate");
        row("DVD image", "dvd", {}, "", "", 600, "", work.filePath("movie.iso"));
        row("image too large", "dvd", {}, "", "", 2000000000, "There is not enough room for the image in ",
            work.filePath("movie.iso"));
    }
    void checkDisc()
    {
        QFETCH(DiscCase, c);
        ToolFolder path(c.tools, {"dvdauthor", "genisoimage"});
        qputenv("MFS_FAKE_MODE", c.mode);
        qputenv(c.disc == "dvd" ? "MFS_FAKE_BLOCKS" : "MFS_FAKE_SECONDS", c.free);
        const QString got = DiscCheck::checkDisc(c.id, c.seconds, c.disc);
        QVERIFY2(c.answer.isEmpty() ? got.isEmpty() : got.startsWith(c.answer), qPrintable(got));
        qunsetenv("MFS_FAKE_BLOCKS");
    }

    // The real tool's answer on a libburn pseudo drive.
    void cdStateTool()
    {
        QProcess tool;
        tool.start(MFS_TEST_BIN "/mfs-cdstate", {"stdio:" + work.filePath("pseudo.img")});
        QVERIFY(tool.waitForFinished(20000));
        const QString answer = tool.readAllStandardOutput();
        QVERIFY2(QRegularExpression("^DISC_STATUS=BLANK\nFREE_SECONDS=[1-9][0-9]*\n$").match(answer).hasMatch(),
                 qPrintable(answer));
    }

    void dialog_data()
    {
        QTest::addColumn<DialogCase>("c");
        const QString movie = work.filePath("movie");
        const QString replace = "%1 already exists.\nDo you want to replace it?";
        auto row = [](const char *name, const char *disc, const char *mode, int entry, QString save,
                      QString existing, QString chosen, QStringList boxes) {
            QTest::newRow(name) << DialogCase{disc, mode, entry, save, existing, chosen, boxes};
        };
        row("blank DVD", "dvd", "blank-dvd-r", 0, "", "", node, {});
        row("DVD not blank", "dvd", "appendable-dvd-r", 0, "", "", "", {notBlank});
        row("image gets its suffix", "dvd", "", 1, movie, "", movie + ".iso", {});
        row("suffixed name taken", "dvd", "", 1, movie, movie + ".iso", "", {replace.arg("movie.iso")});
        row("bin beside taken", "cd", "", 1, movie + ".cue", movie + ".bin", "", {replace.arg("movie.bin")});
        row("file dialog cancelled", "dvd", "", 1, "", "", "", {});
        row("line break in a CD image's name", "cd", "", 1, movie + "\n.cue", "", "",
            {"The name of a CD image may not contain line breaks or other control characters: its cue sheet names "
             "the .bin file on one line."});
    }
    void dialog()
    {
        QFETCH(DialogCase, c);
        ToolFolder path(dvdTools + cdTools, {"dvdauthor", "genisoimage"});
        qputenv("MFS_FAKE_MODE", c.mode);
        Drives::setLister([] { return QStringList{node}; });
        QVERIFY(c.existing.isEmpty() || writeFile(c.existing));
        PromptRecorder prompts;
        prompts.saveAnswers << c.save;
        SelectDrive dialog;
        dialog.setRun(c.disc, 60);
        dialog.scanDrives();
        QCOMPARE(dialog.driveList()->itemText(0) + "," + dialog.driveList()->itemText(1), node + " [],Image file");
        dialog.driveList()->setCurrentIndex(c.entry);
        dialog.okButton()->click();
        QCOMPARE(dialog.result() == QDialog::Accepted ? dialog.deviceId() : QString(), c.chosen);
        QCOMPARE(prompts.texts(), c.boxes);
        QFile::remove(c.existing);
        Drives::setLister({});
    }

    // A DVD goes to the drive as an image made first, and is read back:
    // the stand-in drive keeps what was written, or spoils a sector of it.
    // Without items the titles go in the order they were made.
    void dvdBurn_data()
    {
        QTest::addColumn<bool>("items");
        QTest::addColumn<QByteArray>("fails");
        QTest::addColumn<QByteArray>("corrupt");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<QString>("reason");
        QTest::newRow("verified after two failures") << false << QByteArray("2") << QByteArray() << true << "";
        QTest::newRow("spoilt sector") << true << QByteArray() << QByteArray("100") << true
                                       << "Verification failed: the disc differs from its image at sector 100";
        QTest::newRow("not read back") << true << QByteArray() << QByteArray("100") << false << "";
    }
    void dvdBurn()
    {
        QFETCH(bool, items);
        QFETCH(QByteArray, fails);
        QFETCH(QByteArray, corrupt);
        QFETCH(bool, verify);
        QFETCH(QString, reason);
        ToolFolder tools({"growisofs"}, {"dvdauthor", "genisoimage"});
        qputenv("MFS_FAKE_FAILS", fails);
        qputenv("MFS_FAKE_CORRUPT", corrupt);
        const QString folder = staging(titles);
        QList<DiscItem> list;
        for (const QString &t : items ? titles : QStringList())
            list << DiscItem{folder + "/" + t, 1, {}, {}};
        DiscOptions options;
        options.verify = verify;
        QTemporaryDir drive;
        const QString node = drive.filePath("sr99");
        const Outcome out = burn("dvd", node, folder, "PAL", options, list);
        qunsetenv("MFS_FAKE_FAILS");
        qunsetenv("MFS_FAKE_CORRUPT");
        QCOMPARE(out.reason, reason);
        QCOMPARE(out.ok, reason.isEmpty());
        QCOMPARE(out.status.mid(0, 3), QStringList({"Authoring DVD...", "Making DVD Image...", "Burning DVD..."}));
        QCOMPARE(out.status.last(), reason.isEmpty() ? QString("Burn Complete") : reason);
        QCOMPARE(out.estimates.last(), !reason.isEmpty() ? "Burn failed" : verify ? "Verified" : "Burn complete");
        const QString iso = folder + "/disc.iso";
        QCOMPARE(tools.read("growisofs.args"), QString("-dvd-compat -Z %1=%2\n").arg(node, iso).repeated(fails.toInt() + 1));
        QCOMPARE(readFile(node) == readFile(iso), corrupt.isEmpty());
        QVERIFY2(out.estimates.contains("Time remaining: 07:10 (approx.)") && out.estimates.contains("Closing disc..."),
                 qPrintable(out.estimates.join('|')));
        // The authored folder has gone into the image.
        QVERIFY(!QFile::exists(folder + "/DVD"));
        const QStringList project = QString(readFile(folder + "/mediaforgestudio.xml")).split("\r\n");
        QCOMPARE(project[3], QString("\t\t\t<video format=\"pal\" widescreen=\"nopanscan\" />"));
        QList<qint64> order;
        for (const QString &vob : project.filter(QRegularExpression("^\t{4}<vob file=\"[^\"]+\" chapters=\"0\" />$")))
            order << QFileInfo(vob.section('"', 1, 1)).size();
        QCOMPARE(order, QList<qint64>({size("b.mpg"), size("c.mpg"), size("a.mpg")}));
        if (fails.isEmpty())
            return;
        const QRegularExpression log("Authoring DVD.*Burning Video DVD.*write failed.*exitCode=true.*exitCode=true"
                                     ".*flushing cache.*exitCode=false.*Verified",
                                     QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(log.match(QString(readFile(product.temp() + "log.txt"))).hasMatch());
    }

    // A DVD image of three jobs: a chapter where each starts, and one a
    // minute into the long one when asked, as libdvdread reads them; its
    // label is the title given, made fit; it is read back before it counts.
    void dvdImage_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("chapters");
        QTest::newRow("every 5 minutes") << 5 << 3;
        QTest::newRow("every minute") << 1 << 4;
    }
    void dvdImage()
    {
        QFETCH(int, minutes);
        QFETCH(int, chapters);
        ToolFolder tools({}, {"dvdauthor", "genisoimage"});
        const QString folder = staging({"b.mpg", "long.mpg", "a.mpg"});
        const QList<DiscItem> items{{folder + "/b.mpg", 1, {}, {}}, {folder + "/long.mpg", 66, {}, {}},
                                    {folder + "/a.mpg", 3, {}, {}}};
        DiscOptions options;
        options.chapterMinutes = minutes;
        options.title = "Été à Paris";
        QTemporaryDir out;
        const QString iso = out.filePath("movie.iso");
        const Outcome o = burn("dvd", iso, folder, "PAL", options, items);
        QVERIFY2(o.ok, qPrintable(o.reason));
        QCOMPARE(o.status.last() + "/" + o.estimates.last(), QString("Image written: movie.iso/Verified"));
        QCOMPARE(o.device, iso);
        QCOMPARE(chaptersOf(iso), QList<int>{chapters});
        QCOMPARE(dvdVolumeLabel(iso), QString("ETE_A_PARIS"));
    }

    void dvdFailure_data()
    {
        QTest::addColumn<QStringList>("tools");
        QTest::addColumn<QStringList>("real");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("reason");
        QTest::newRow("authoring fails") << QStringList{"growisofs"} << QStringList{"dvdauthor"} << 0
                                         << "no VOBUs found.";
        QTest::newRow("no growisofs") << QStringList() << QStringList{"dvdauthor", "genisoimage"} << 1
                                      << "growisofs could not be found. Please install the Debian package growisofs.";
    }
    void dvdFailure()
    {
        QFETCH(QStringList, tools);
        QFETCH(QStringList, real);
        QFETCH(int, count);
        QFETCH(QString, reason);
        ToolFolder path(tools, real);
        const QString folder = staging(titles.mid(0, count));
        const Outcome out = burn("dvd", node, folder, count ? "PAL" : "NTSC");
        QCOMPARE(out.ok, false);
        if (count == 0) // TABs, CRLF, no final line break, an empty program chain
            QCOMPARE(QString(readFile(folder + "/mediaforgestudio.xml")),
                     "<dvdauthor dest=\"" + folder + "/DVD\">\r\n\t<vmgm>\r\n\t\t<menus lang=\"en\">\r\n\t\t\t<video "
                     "format=\"ntsc\" widescreen=\"nopanscan\" />\r\n\t\t</menus>\r\n\t</vmgm>\r\n\t<titleset>\r\n\t\t"
                     "<titles>\r\n\t\t\t<pgc>\r\n\t\t\t</pgc>\r\n\t\t</titles>\r\n\t</titleset>\r\n</dvdauthor>");
        QCOMPARE(out.reason, reason);
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), QString("Burn Failed/Burn failed"));
        QCOMPARE(path.read("growisofs.args"), QString()); // no disc is wasted on a failed authoring
    }

    // An audio CD with its CD-TEXT, gapless or with two-second gaps, read
    // back from the stand-in drive: whole, read some samples late, or with
    // a spoilt sector.
    void cdBurn_data()
    {
        QTest::addColumn<QString>("burner");
        QTest::addColumn<int>("gap");
        QTest::addColumn<QByteArray>("offset");
        QTest::addColumn<QByteArray>("corrupt");
        QTest::addColumn<QByteArray>("exit");
        QTest::addColumn<QString>("args"); // after dev= -pad -audio -dao gracetime=2 textfile=
        QTest::addColumn<QString>("status");
        QTest::newRow("verified") << "cdrskin" << 0 << QByteArray() << QByteArray() << QByteArray("0") << "Z A"
                                  << "Burn Complete/Verified";
        QTest::newRow("wodim's gaps") << "wodim" << 2 << QByteArray() << QByteArray() << QByteArray("0")
                                      << "defpregap=150 Z A" << "Burn Complete/Verified";
        QTest::newRow("cdrskin's gaps") << "cdrskin" << 2 << QByteArray() << QByteArray() << QByteArray("0")
                                        << "Z sao_pregap=150 A" << "Burn Complete/Verified";
        QTest::newRow("read 30 samples late") << "cdrskin" << 0 << QByteArray("30") << QByteArray() << QByteArray("0")
                                              << "Z A" << "Burn Complete/Verified";
        QTest::newRow("spoilt sector") << "cdrskin" << 0 << QByteArray() << QByteArray("200") << QByteArray("0")
                                       << "Z A" << "Verification failed: track 2 differs/Burn failed";
        QTest::newRow("burner failed") << "cdrskin" << 0 << QByteArray() << QByteArray() << QByteArray("255") << "Z A"
                                       << "Burn Failed/Burn failed";
    }
    void cdBurn()
    {
        QFETCH(QString, burner);
        QFETCH(int, gap);
        QFETCH(QByteArray, offset);
        QFETCH(QByteArray, corrupt);
        QFETCH(QByteArray, exit);
        QFETCH(QString, args);
        QFETCH(QString, status);
        ToolFolder tools({burner});
        qputenv("MFS_FAKE_EXIT", exit);
        qputenv("MFS_FAKE_OFFSET", offset);
        qputenv("MFS_FAKE_CORRUPT", corrupt);
        const QString folder = staging(tracks);
        const QList<DiscItem> items{{folder + "/z.wav", 2, "Zèbre", "Ann"}, {folder + "/a.wav", 1, "Ant", "Bob"}};
        DiscOptions options;
        options.title = "Mix";
        options.gapSeconds = gap;
        QTemporaryDir drive;
        const QString node = drive.filePath("sr99.bin");
        const Outcome out = burn("cd", node, folder, "", options, items);
        for (const char *name : {"MFS_FAKE_EXIT", "MFS_FAKE_OFFSET", "MFS_FAKE_CORRUPT"})
            qunsetenv(name);
        QCOMPARE(out.status.first(), QString("Burning Audio CD..."));
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), status);
        QCOMPARE(out.ok, status.startsWith("Burn Complete"));
        QVERIFY(out.estimates.contains("Closing disc..."));
        const QString text = folder + "/cdtext.dat";
        QCOMPARE(tools.read("burner.args").trimmed(),
                 QString("%1 -v dev=%2 -pad -audio -dao gracetime=2 textfile=%3 ").arg(burner, node, text)
                     + QString(args).replace("Z", folder + "/z.wav").replace("A", folder + "/a.wav"));
        QCOMPARE(cdTextOf(readFile(text), 2), QStringList({"Mix/Various Artists", "Zèbre/Ann", "Ant/Bob"}));
        if (out.ok) {
            CdIo_t *cd = cdio_open_cue(QFile::encodeName(drive.filePath("sr99.cue")).constData());
            QVERIFY(cd);
            QCOMPARE(int(cdio_get_track_lsn(cd, 2) - cdio_get_track_lsn(cd, 1)), 151 + 75 * gap);
            cdio_destroy(cd);
        }
    }

    // The CD-TEXT packs as libcdio reads them: Latin-1 kept, other letters
    // by their base letter or "?", texts cut short to fit 99 long titles.
    void cdText_data()
    {
        QTest::addColumn<QStringList>("titles"); // the album's, then each track's
        QTest::addColumn<QStringList>("read");   // "title/performer", the album's first
        const QString longTitle = QString("A long title ").repeated(12);
        QStringList many{"Album"}, manyRead{"Album/Band"};
        for (int t = 1; t <= 99; ++t) {
            many << longTitle;
            manyRead << longTitle.left(20) + "/Band";
        }
        QTest::newRow("letters") << QStringList{"Été", "Łódź", "Say \"hi\""}
                                 << QStringList{"Été/Band", "?ódz/Band", "Say \"hi\"/Band"};
        QTest::newRow("99 long titles") << many << manyRead;
    }
    void cdText()
    {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, read);
        CdText text;
        text.title = titles.first();
        text.performer = "Band";
        text.trackTitles = titles.mid(1);
        for (int t = 1; t < titles.size(); ++t)
            text.trackPerformers << "Band";
        const QByteArray packs = CdTextFile::packs(text);
        QCOMPARE(packs.size() % 18, 4);
        QCOMPARE(cdTextOf(packs, int(titles.size()) - 1), read);
        QCOMPARE(CdTextFile::packs(CdText()), QByteArray());
        // The real cdrskin checks every pack's CRC before it goes on to the
        // drive (here one that can't take audio).
        QVERIFY(writeFile(work.filePath("cdtext.dat"), packs));
        const Tools::Run burner = Tools::run("cdrskin", {"-v", "dev=stdio:/dev/null", "--allow_emulated_drives", "-dao",
                                                         "textfile=" + work.filePath("cdtext.dat"), "-audio",
                                                         work.filePath("z.wav")});
        const QString said = QString::fromLocal8Bit(burner.out + burner.err);
        QVERIFY2(!said.contains("CRC mismatch") && said.contains("Write job parameters are unsuitable"), qPrintable(said));
    }

    // Enter presses the focused button, else OK: a drive is always chosen.
    void enterKey_data()
    {
        QTest::addColumn<bool>("onCancel");
        QTest::newRow("focus in the list") << false;
        QTest::newRow("focus on Cancel") << true;
    }
    void enterKey()
    {
        QFETCH(bool, onCancel);
        ToolFolder path(dvdTools, {"dvdauthor", "genisoimage"});
        qputenv("MFS_FAKE_MODE", "blank-dvd-r");
        Drives::setLister([] { return QStringList{node}; });
        SelectDrive dialog;
        dialog.setRun("dvd", 60);
        dialog.scanDrives();
        dialog.show();
        QWidget *focus = onCancel ? static_cast<QWidget *>(dialog.cancelButton()) : dialog.driveList();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        QCOMPARE(dialog.result(), onCancel ? QDialog::Rejected : QDialog::Accepted);
        Drives::setLister({});
    }

    // The BIN/CUE opens in libcdio: each track's samples are the WAV's,
    // after a gap when asked; the sheet's CD-TEXT reads back, the album's
    // title through the program's own reader too.
    void cdImage_data()
    {
        QTest::addColumn<int>("gap");
        QTest::newRow("gapless") << 0;
        QTest::newRow("two-second gaps") << 2;
    }
    void cdImage()
    {
        QFETCH(int, gap);
        const QString cue = work.filePath(QString("songs%1.cue").arg(gap));
        const QString folder = staging(tracks);
        const QList<DiscItem> items{{folder + "/z.wav", 2, "Zèbre", "Ann"}, {folder + "/a.wav", 1, "Ant", ""}};
        DiscOptions options;
        options.title = "Mix \"2\"";
        options.gapSeconds = gap;
        const Outcome out = burn("cd", cue, folder, "", options, items);
        QVERIFY2(out.ok, qPrintable(out.reason));
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), QString("Image written: %1/Verified").arg(QFileInfo(cue).fileName()));
        QCOMPARE(readDiscName(cue), QString("Mix '2'"));
        CdIo_t *cd = cdio_open_cue(QFile::encodeName(cue).constData());
        QVERIFY(cd);
        QCOMPARE(int(cdio_get_num_tracks(cd)), 2);
        const cdtext_t *text = cdio_get_cdtext(cd);
        QVERIFY(text);
        QCOMPARE(QString::fromUtf8(cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, 0)), QString("Ann"));
        QCOMPARE(QString::fromUtf8(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 1)), QString("Zèbre"));
        QCOMPARE(QString::fromUtf8(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 2)), QString("Ant"));
        QCOMPARE(int(cdio_get_track_lsn(cd, 2)), 151 + 75 * gap);
        for (int t = 1; t <= 2; ++t) {
            QVERIFY(ffmpeg({"-i", work.filePath(tracks[t - 1]), "-f", "s16le", "-y", work.filePath("track.pcm")}));
            QByteArray expected = readFile(work.filePath("track.pcm"));
            expected.append(QByteArray((2352 - expected.size() % 2352) % 2352, '\0'));
            const lsn_t first = cdio_get_track_lsn(cd, t);
            QByteArray got(qsizetype(expected.size()), '\1');
            QCOMPARE(cdio_read_audio_sectors(cd, got.data(), first, got.size() / 2352), DRIVER_OP_SUCCESS);
            QVERIFY2(got == expected, qPrintable(QString("track %1").arg(t)));
        }
        cdio_destroy(cd);
    }

    // A name taken while the image is made is left as it is, unless the user
    // agreed to replace it; nothing of the image is left when it fails.
    void imageNameTaken_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QStringList>("files"); // in the folder afterwards
        QTest::newRow("DVD image") << "movie.iso" << "movie.iso" << false << QStringList{"movie.iso"};
        QTest::newRow("data file") << "mix.cue" << "mix.bin" << false << QStringList{"mix.bin"};
        QTest::newRow("cue sheet") << "mix.cue" << "mix.cue" << false << QStringList{"mix.cue"};
        QTest::newRow("agreed to replace") << "mix.cue" << "mix.bin" << true << QStringList{"mix.bin", "mix.cue"};
    }
    void imageNameTaken()
    {
        QFETCH(QString, image);
        QFETCH(QString, taken);
        QFETCH(bool, replace);
        QFETCH(QStringList, files);
        ToolFolder tools({}, {"dvdauthor", "genisoimage"});
        QTemporaryDir out;
        QVERIFY(writeFile(out.filePath(taken), "keep"));
        const bool dvd = image.endsWith(".iso");
        DiscOptions options;
        if (replace)
            options.replaceable = {out.filePath(taken)};
        const Outcome o = burn(dvd ? "dvd" : "cd", out.filePath(image), staging(dvd ? titles.mid(0, 1) : tracks),
                               dvd ? "PAL" : "", options);
        QCOMPARE(o.ok, replace);
        QCOMPARE(o.reason, replace ? QString() : out.filePath(taken) + " already exists; the image was not saved.");
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), files);
        QCOMPARE(readFile(out.filePath(taken)) == "keep", !replace);
    }
};

QTEST_MAIN(TestBurnChecks)
#include "tst_burnchecks.moc"
