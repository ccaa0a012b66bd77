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
#include <QPushButton>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

namespace {
const QString node = "/dev/sr99";
const QString notBlank = "Please insert a blank DVD into the selected drive";
const QString tooSmall = "The disc is not large enough.\n\nA Single Layer disc can hold 2 hours of video\n"
                         "while a Dual Layer disc can hold 3.5 hours.";
const QStringList dvdTools{"growisofs", "dvd+rw-mediainfo"}, cdTools{"cdrskin", "mfs-cdstate"};

// context: the run's bytes, the track count known so far, or the run's seconds.
struct ParseCase { QString tool, text; int context; QString expected; };
// free: blocks of a DVD, seconds of a CD; answer: the answer's start ("" passes).
struct DiscCase { QString disc, id; QStringList tools; QByteArray mode, free; int seconds; QString answer; };
// chosen: "" when the dialog stays open or is cancelled.
struct DialogCase {
    QString disc; QByteArray mode; int entry; QString save, existing, chosen; QStringList boxes; bool onCancel;
};
// end: the last "status/estimate".
struct DvdCase { bool items; QByteArray fails, corrupt; bool verify; QString end; };
struct DvdFailCase { QStringList tools, real; int count; QString reason; };
struct CdCase { QString burner; int gap; QByteArray offset, corrupt, exit; QString args, end; };
struct ImageCase { QString image, taken; bool replace; QStringList files; };

struct Outcome { QStringList status, estimates; bool ok = false; QString device, reason; };
// Sets the stand-ins' variables while it lives.
struct FakeEnv : QList<std::pair<const char *, QByteArray>> {
    FakeEnv(std::initializer_list<value_type> vars) : QList(vars) { for (auto &v : vars) qputenv(v.first, v.second); }
    ~FakeEnv() { for (auto &v : *this) qunsetenv(v.first); }
};

// Runs one burn to its end and keeps what it said; options: {title, chapter minutes, gap, verify, replaceable}.
Outcome burn(const QString &disc, const QString &device, const QString &folder, const QString &standard,
             const DiscOptions &options = {}, const QList<DiscItem> &items = {})
{
    BurnDisc burner;
    burner.setTimings({100, 100, 100, 5000, 0});
    burner.setJob(disc, device, folder, standard);
    burner.setOptions(options);
    burner.setItems(items);
    QSignalSpy done(&burner, &BurnDisc::burnComplete), status(&burner, &BurnDisc::textStatus),
        estimates(&burner, &BurnDisc::burnEstTime);
    burner.start();
    if (!done.wait(60000))
        return {};
    Outcome out{{}, {}, done[0][0].toBool(), done[0][1].toString(), done[0][2].toString()};
    for (auto [spy, list] : {std::pair{&status, &out.status}, {&estimates, &out.estimates}})
        for (const QList<QVariant> &signal : *spy)
            *list << signal[0].toString();
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
    ifoClose(vmg);
    DVDClose(dvd);
    return chapters;
}
} // namespace

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
        QVERIFY(ffmpeg(QStringList{"-f", "lavfi", "-i", "sine=d=2"} + buildPresetArguments(pal, "")
                       << work.filePath("c.mpg")));
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
        QTest::addColumn<ParseCase>("c");
        auto transcript = [](const QString &name) { return QString::fromLatin1(readFile(testData("transcripts/" + name))); };
        auto row = [](const char *name, const char *tool, const QString &text, int context, const QString &expected) {
            QTest::newRow(name) << ParseCase{tool, text, context, expected};
        };
        row("350 of 700 MB", "dvdauthor", "STAT: VOBU 2101 at 350MB, 1 PGCs\r", 700 << 20, "5");
        row("whole real run", "dvdauthor", transcript("dvdauthor-pal.txt"), 3342336, "19");
        row("under 1 MiB", "dvdauthor", "STAT: VOBU 16 at 1MB, 1 PGCs\r", 1000000, "-1");
        row("1e300%", "dvdauthor", "STAT: fixing VOBU at 1MB (1/1, 1e300%)\r", 700 << 20, "20");
        // 3723 s after the test's "now", with ctime's padded day.
        row("45.67%", "growisofs", " 45.67% done, estimate finish Sun Dec  6 19:02:03 2026\n", 0,
            "45 Time remaining: 62:03 (approx.)");
        row("image made", "growisofs", transcript("genisoimage-dvd-video.txt"), 0, "98 closing");
        row("40e8% done", "growisofs", "40e8% done", 0, "100");
        row("no estimate yet", "growisofs", "   3964928/1095487488 ( 0.4%) @0x, remaining ??:?? RBU 100.0%\n", 0, "0");
        row("no chapters but the start", "chapters", "3600", 0, "0");
        row("none in the last seconds", "chapters", "304", 5, "0");
        row("past an hour", "chapters", "3700", 30, "0,30:00,1:00:00");
        row("label of no letters", "label", "日本", 0, "DVD_VIDEO");
        row("long label", "label", QString(40, 'x'), 0, QString(32, 'X'));
        row("bare ERR: line", "error line", "ie\nERR: ", 0, "ie");
        row("3 of 4 at 10 of 40", "cdrecord", "\rTrack 03:   10 of   40 MB written (fifo 100%) [buf  99%]  16.0x.", 4,
            "55");
        row("count not known yet", "cdrecord", "Track 01:    1 of   34 MB written", -1, "-1");
        row("cdrskin's columns", "cdrecord", transcript("cdrskin-pseudo-drive-data.out.txt").section('\n', 14, 14), 1,
            "84");
    }
    void parse()
    {
        QFETCH(ParseCase, c);
        const auto r = BurnParse::isoReport(c.text, QDateTime(QDate(2026, 12, 6), QTime(18, 0)));
        const auto cd = BurnParse::cdReport(c.text);
        const QString got = c.tool == "dvdauthor"    ? QString::number(BurnParse::authoringProgress(c.text, c.context))
                            : c.tool == "error line" ? BurnParse::lastErrorLine(c.text)
                            : c.tool == "chapters"   ? DiscPlan::chapterMarks(c.text.toInt(), c.context)
                            : c.tool == "label"      ? DiscPlan::volumeLabel(c.text)
                            : c.tool == "growisofs"  ? QString::number(r.percent) + (r.closing ? " closing" : "")
                                                          + (r.timeLeft.isEmpty() ? "" : " ") + r.timeLeft
                            : QString::number(cd.hasTrack ? BurnParse::cdProgress(cd.track, cd.written, cd.size, c.context) : -1);
        QCOMPARE(got, c.expected);
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
        row("blank pseudo drive (the real tool)", "cd", {"cdrskin", "@mfs-cdstate"}, "", "", 60, "",
            "stdio:" + work.filePath("pseudo.img"));
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
        FakeEnv env{{"MFS_FAKE_MODE", c.mode}, {c.disc == "dvd" ? "MFS_FAKE_BLOCKS" : "MFS_FAKE_SECONDS", c.free}};
        const QString got = DiscCheck::checkDisc(c.id, c.seconds, c.disc);
        QVERIFY2(c.answer.isEmpty() ? got.isEmpty() : got.startsWith(c.answer), qPrintable(got));
    }

    // Enter presses the focused button, else OK.
    void dialog_data()
    {
        QTest::addColumn<DialogCase>("c");
        const QString movie = work.filePath("movie");
        const QString replace = "%1 already exists.\nDo you want to replace it?";
        auto row = [](const char *name, const char *disc, const char *mode, int entry, QString save,
                      QString existing, QString chosen, QStringList boxes, bool onCancel = false) {
            QTest::newRow(name) << DialogCase{disc, mode, entry, save, existing, chosen, boxes, onCancel};
        };
        row("blank DVD", "dvd", "blank-dvd-r", 0, "", "", node, {});
        row("Enter on Cancel", "dvd", "blank-dvd-r", 0, "", "", "", {}, true);
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
        FakeEnv env{{"MFS_FAKE_MODE", c.mode}};
        Drives::setLister([] { return QStringList{node}; });
        QVERIFY(c.existing.isEmpty() || writeFile(c.existing));
        PromptRecorder prompts;
        prompts.saveAnswers << c.save;
        SelectDrive dialog;
        dialog.setRun(c.disc, 60);
        dialog.scanDrives();
        dialog.driveList()->setCurrentIndex(c.entry);
        dialog.show();
        QWidget *focus = c.onCancel ? static_cast<QWidget *>(dialog.cancelButton()) : dialog.driveList();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        QCOMPARE(dialog.result() == QDialog::Accepted ? dialog.deviceId() : QString(), c.chosen);
        QCOMPARE(prompts.texts(), c.boxes);
        QFile::remove(c.existing);
        Drives::setLister({});
    }

    // A DVD goes to the drive as an image made first, and is read back: the
    // stand-in drive keeps what was written, or spoils a sector of it.
    void dvdBurn_data()
    {
        addRows<DvdCase>("c", {{"verified after two failures", {false, "2", {}, true, "Burn Complete/Verified"}},
                               {"spoilt sector", {true, {}, "100", true, "Verification failed: the disc differs from "
                                                                         "its image at sector 100/Burn failed"}},
                               {"not read back", {true, {}, "100", false, "Burn Complete/Burn complete"}}});
    }
    void dvdBurn()
    {
        QFETCH(DvdCase, c);
        ToolFolder tools({"growisofs"}, {"dvdauthor", "genisoimage"});
        FakeEnv env{{"MFS_FAKE_FAILS", c.fails}, {"MFS_FAKE_CORRUPT", c.corrupt}};
        const QString folder = staging(titles);
        QList<DiscItem> list;
        for (const QString &t : c.items ? titles : QStringList())
            list << DiscItem{folder + "/" + t, 1, {}, {}};
        QTemporaryDir drive;
        const QString node = drive.filePath("sr99");
        const Outcome out = burn("dvd", node, folder, "PAL", {"", 5, 0, c.verify, {}}, list);
        QCOMPARE(out.status.mid(0, 3), QStringList({"Authoring DVD...", "Making DVD Image...", "Burning DVD..."}));
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), c.end);
        QCOMPARE(out.ok, c.end.startsWith("Burn Complete"));
        QCOMPARE(out.reason, out.ok ? QString() : out.status.last());
        const QString iso = folder + "/disc.iso";
        QCOMPARE(tools.read("growisofs.args"), QString("-dvd-compat -Z %1=%2\n").arg(node, iso).repeated(c.fails.toInt() + 1));
        QCOMPARE(readFile(node) == readFile(iso), c.corrupt.isEmpty());
        QVERIFY2(out.estimates.contains("Time remaining: 07:10 (approx.)") && out.estimates.contains("Closing disc..."),
                 qPrintable(out.estimates.join('|')));
        QVERIFY(!QFile::exists(folder + "/DVD")); // the authored folder has gone into the image
        // Without items the titles go in the order they were made.
        const QStringList project = QString(readFile(folder + "/mediaforgestudio.xml")).split("\r\n");
        QCOMPARE(project[3], QString("\t\t\t<video format=\"pal\" widescreen=\"nopanscan\" />"));
        QList<qint64> order;
        for (const QString &vob : project.filter(QRegularExpression("^\t{4}<vob file=\"[^\"]+\" chapters=\"0\" />$")))
            order << QFileInfo(vob.section('"', 1, 1)).size();
        QCOMPARE(order, QList<qint64>({size("b.mpg"), size("c.mpg"), size("a.mpg")}));
        const QRegularExpression log("Authoring DVD.*Burning Video DVD.*write failed.*exitCode=true.*exitCode=true"
                                     ".*flushing cache.*exitCode=false.*Verified",
                                     QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(c.fails.isEmpty() || log.match(QString(readFile(product.temp() + "log.txt"))).hasMatch());
    }

    // A DVD image: a chapter where each job starts and a minute into the long one; the title made a label.
    void dvdImage()
    {
        ToolFolder tools({}, {"dvdauthor", "genisoimage"});
        const QString folder = staging({"b.mpg", "long.mpg", "a.mpg"});
        const QList<DiscItem> items{{folder + "/b.mpg", 1, {}, {}}, {folder + "/long.mpg", 66, {}, {}},
                                    {folder + "/a.mpg", 3, {}, {}}};
        QTemporaryDir out;
        const QString iso = out.filePath("movie.iso");
        const Outcome o = burn("dvd", iso, folder, "PAL", {"Été à Paris", 1, 0, true, {}}, items);
        QVERIFY2(o.ok, qPrintable(o.reason));
        QCOMPARE(o.status.last() + "/" + o.estimates.last(), QString("Image written: movie.iso/Verified"));
        QCOMPARE(o.device, iso);
        QCOMPARE(chaptersOf(iso), QList<int>{4});
        QCOMPARE(dvdVolumeLabel(iso), QString("ETE_A_PARIS"));
    }

    // A failed authoring (an empty program chain) burns no disc.
    void dvdFailure_data()
    {
        addRows<DvdFailCase>("c", {{"authoring fails", {{"growisofs"}, {"dvdauthor"}, 0, "no VOBUs found."}},
                                   {"no growisofs", {{}, {"dvdauthor", "genisoimage"}, 1,
                                                     "growisofs could not be found. Please install the Debian "
                                                     "package growisofs."}}});
    }
    void dvdFailure()
    {
        QFETCH(DvdFailCase, c);
        ToolFolder path(c.tools, c.real);
        const QString folder = staging(titles.mid(0, c.count));
        const Outcome out = burn("dvd", node, folder, c.count ? "PAL" : "NTSC");
        QCOMPARE(out.ok, false);
        if (c.count == 0) // TABs, CRLF, no final line break
            QCOMPARE(QString(readFile(folder + "/mediaforgestudio.xml")),
                     "<dvdauthor dest=\"" + folder + "/DVD\">\r\n\t<vmgm>\r\n\t\t<menus lang=\"en\">\r\n\t\t\t<video "
                     "format=\"ntsc\" widescreen=\"nopanscan\" />\r\n\t\t</menus>\r\n\t</vmgm>\r\n\t<titleset>\r\n\t\t"
                     "<titles>\r\n\t\t\t<pgc>\r\n\t\t\t</pgc>\r\n\t\t</titles>\r\n\t</titleset>\r\n</dvdauthor>");
        QCOMPARE(out.reason, c.reason);
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), QString("Burn Failed/Burn failed"));
        QCOMPARE(path.read("growisofs.args"), QString());
    }

    // An audio CD, its CD-TEXT and gaps, read back from the stand-in drive.
    void cdBurn_data()
    {
        const QString ok = "Burn Complete/Verified", both = "z.wav a.wav";
        addRows<CdCase>("c", {{"wodim's gaps", {"wodim", 2, {}, {}, "0", "defpregap=150 z.wav a.wav", ok}},
                              {"cdrskin's gaps", {"cdrskin", 2, {}, {}, "0", "z.wav sao_pregap=150 a.wav", ok}},
                              {"read 30 samples late", {"cdrskin", 0, "30", {}, "0", both, ok}},
                              {"spoilt sector", {"cdrskin", 0, {}, "200", "0", both,
                                                 "Verification failed: track 2 differs/Burn failed"}},
                              {"burner failed", {"cdrskin", 0, {}, {}, "255", both, "Burn Failed/Burn failed"}}});
    }
    void cdBurn()
    {
        QFETCH(CdCase, c);
        ToolFolder tools({c.burner});
        FakeEnv env{{"MFS_FAKE_EXIT", c.exit}, {"MFS_FAKE_OFFSET", c.offset}, {"MFS_FAKE_CORRUPT", c.corrupt}};
        const QString folder = staging(tracks);
        const QList<DiscItem> items{{folder + "/z.wav", 2, "Zèbre", "Ann"}, {folder + "/a.wav", 1, "Ant", "Bob"}};
        QTemporaryDir drive;
        const QString node = drive.filePath("sr99.bin");
        const Outcome out = burn("cd", node, folder, "", {"Mix", 5, c.gap, true, {}}, items);
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), c.end);
        QCOMPARE(out.ok, c.end.startsWith("Burn Complete"));
        QVERIFY(out.estimates.contains("Closing disc..."));
        QCOMPARE(tools.read("burner.args").trimmed().replace(folder + "/", ""),
                 QString("%1 -v dev=%2 -pad -audio -dao gracetime=2 textfile=cdtext.dat %3").arg(c.burner, node, c.args));
        QCOMPARE(cdTextOf(readFile(folder + "/cdtext.dat"), 2), QStringList({"Mix/Various Artists", "Zèbre/Ann", "Ant/Bob"}));
    }

    // The CD-TEXT packs as libcdio reads them: Latin-1 kept, other letters
    // by their base letter or "?", texts cut short to fit 99 long titles.
    void cdText_data()
    {
        QTest::addColumn<QStringList>("titles"); // the album's, then each track's
        QTest::addColumn<QStringList>("read");   // "title/performer", the album's first
        const QString longTitle = QString("A long title ").repeated(12);
        QTest::newRow("letters") << QStringList{"Été", "Łódź", "Say \"hi\""}
                                 << QStringList{"Été/Band", "?ódz/Band", "Say \"hi\"/Band"};
        QTest::newRow("99 long titles") << QStringList{"Album"} + QStringList(99, longTitle)
                                        << QStringList{"Album/Band"} + QStringList(99, longTitle.left(20) + "/Band");
    }
    void cdText()
    {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, read);
        const QByteArray packs =
            CdTextFile::packs({titles.first(), "Band", titles.mid(1), QStringList(titles.size() - 1, "Band")});
        QCOMPARE(cdTextOf(packs, int(titles.size()) - 1), read);
        QCOMPARE(CdTextFile::packs(CdText()), QByteArray());
        // The real cdrskin checks each pack's CRC before it finds this drive can't take audio.
        QVERIFY(writeFile(work.filePath("cdtext.dat"), packs));
        const Tools::Run burner = Tools::run("cdrskin", {"-v", "dev=stdio:/dev/null", "--allow_emulated_drives", "-dao",
                                                         "textfile=" + work.filePath("cdtext.dat"), "-audio",
                                                         work.filePath("z.wav")});
        const QString said = QString::fromLocal8Bit(burner.out + burner.err);
        QVERIFY2(!said.contains("CRC mismatch") && said.contains("Write job parameters are unsuitable"), qPrintable(said));
    }

    // The BIN/CUE opens in libcdio: each track's samples are the WAV's, after
    // a gap when asked; its CD-TEXT reads back, the title through our reader too.
    void cdImage_data() { addRows<int>("gap", {{"gapless", 0}, {"two-second gaps", 2}}); }
    void cdImage()
    {
        QFETCH(int, gap);
        const QString cue = work.filePath(QString("songs%1.cue").arg(gap));
        const QString folder = staging(tracks);
        const QList<DiscItem> items{{folder + "/z.wav", 2, "Zèbre", "Ann"}, {folder + "/a.wav", 1, "Ant", ""}};
        const Outcome out = burn("cd", cue, folder, "", {"Mix \"2\"", 5, gap, true, {}}, items);
        QVERIFY2(out.ok, qPrintable(out.reason));
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), "Image written: " + QFileInfo(cue).fileName() + "/Verified");
        QCOMPARE(readDiscName(cue), QString("Mix '2'"));
        CdIo_t *cd = cdio_open_cue(QFile::encodeName(cue).constData());
        QVERIFY(cd);
        QCOMPARE(int(cdio_get_num_tracks(cd)), 2);
        const cdtext_t *text = cdio_get_cdtext(cd);
        QVERIFY(text);
        QCOMPARE(QStringList({cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, 0), cdtext_get_const(text, CDTEXT_FIELD_TITLE, 1),
                              cdtext_get_const(text, CDTEXT_FIELD_TITLE, 2)}),
                 QStringList({"Ann", "Zèbre", "Ant"}));
        QCOMPARE(int(cdio_get_track_lsn(cd, 2)), 151 + 75 * gap);
        for (int t = 1; t <= 2; ++t) {
            QVERIFY(ffmpeg({"-i", work.filePath(tracks[t - 1]), "-f", "s16le", "-y", work.filePath("track.pcm")}));
            QByteArray expected = readFile(work.filePath("track.pcm"));
            expected.append(QByteArray((2352 - expected.size() % 2352) % 2352, '\0'));
            QByteArray got(qsizetype(expected.size()), '\1');
            QCOMPARE(cdio_read_audio_sectors(cd, got.data(), cdio_get_track_lsn(cd, t), got.size() / 2352), DRIVER_OP_SUCCESS);
            QVERIFY2(got == expected, qPrintable(QString("track %1").arg(t)));
        }
        cdio_destroy(cd);
    }

    // A name taken while the image is made is left as it is, unless the user
    // agreed to replace it; nothing of the image is left when it fails.
    void imageNameTaken_data()
    {
        addRows<ImageCase>("c", {{"DVD image", {"movie.iso", "movie.iso", false, {"movie.iso"}}},
                                 {"data file", {"mix.cue", "mix.bin", false, {"mix.bin"}}},
                                 {"cue sheet", {"mix.cue", "mix.cue", false, {"mix.cue"}}},
                                 {"agreed to replace", {"mix.cue", "mix.bin", true, {"mix.bin", "mix.cue"}}}});
    }
    void imageNameTaken()
    {
        QFETCH(ImageCase, c);
        ToolFolder tools({}, {"dvdauthor", "genisoimage"});
        QTemporaryDir out;
        QVERIFY(writeFile(out.filePath(c.taken), "keep"));
        const bool dvd = c.image.endsWith(".iso");
        const QStringList replaceable = c.replace ? QStringList{out.filePath(c.taken)} : QStringList();
        const Outcome o = burn(dvd ? "dvd" : "cd", out.filePath(c.image), staging(dvd ? titles.mid(0, 1) : tracks),
                               dvd ? "PAL" : "", {"", 5, 0, true, replaceable});
        QCOMPARE(o.ok, c.replace);
        QCOMPARE(o.reason, c.replace ? QString() : out.filePath(c.taken) + " already exists; the image was not saved.");
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), c.files);
        QCOMPARE(readFile(out.filePath(c.taken)) == "keep", !c.replace);
    }
};

QTEST_MAIN(TestBurnChecks)
#include "tst_burnchecks.moc"
