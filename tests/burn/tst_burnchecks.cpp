#include "app/selectdrive.h"
#include "burnsupport.h"
#include "catalogue/catalogue.h"
#include "disc/burn/burndisc.h"
#include "disc/burn/burnparse.h"
#include "disc/burn/disccheck.h"
#include "disc/drives.h"
#include "media/commandline.h"

#include <QComboBox>
#include <QPushButton>

#include <cdio/cdio.h>

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
    QString reason;
};

// Runs one burn to its end and keeps everything it said.
Outcome burn(const QString &disc, const QString &device, const QString &folder, const QString &standard,
             const QStringList &replacing = {})
{
    BurnDisc burner;
    burner.setTimings({100, 100, 100});
    burner.setJob(disc, device, folder, standard);
    burner.allowReplacing(replacing);
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
    out.reason = done[0][2].toString();
    return out;
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
            "56 Time remaining: 62:03 (approx.)");
        row("image written", "growisofs", transcript("genisoimage-dvd-video.txt"), 0, "98 closing");
        row("40e8% done", "growisofs", "40e8% done", 0, "100");
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
        } else if (tool == "growisofs") {
            const auto r = BurnParse::isoReport(text, QDateTime(QDate(2026, 12, 6), QTime(18, 0)));
            got = QString::number(r.progress) + (r.closing ? " closing" : "") + (r.timeLeft.isEmpty() ? "" : " ")
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

    // Titles in creation order; the burner failing twice, then burning.
    void dvdBurn()
    {
        ToolFolder tools({"growisofs"}, {"dvdauthor"});
        qputenv("MFS_FAKE_FAILS", "2");
        const QString folder = staging(titles);
        const Outcome out = burn("dvd", node, folder, "PAL");
        qunsetenv("MFS_FAKE_FAILS");
        QVERIFY(out.ok);
        QCOMPARE(out.status, QStringList({"Authoring DVD...", "Burning DVD...", "Burn Complete"}));
        QCOMPARE(tools.read("growisofs.args"), QString("-Z %1 -dvd-video %2/DVD\n").arg(node, folder).repeated(3));
        QVERIFY(QFile::exists(folder + "/DVD/VIDEO_TS/VTS_01_1.VOB"));
        const QStringList project = QString(readFile(folder + "/mediaforgestudio.xml")).split("\r\n");
        QCOMPARE(project[3], QString("\t\t\t<video format=\"pal\" widescreen=\"nopanscan\" />"));
        QList<qint64> order;
        for (const QString &vob : project.filter(QRegularExpression("^\t{4}<vob file=\"[^\"]+/\\d{17}\\.mpg\" />$")))
            order << QFileInfo(vob.section('"', 1, 1)).size();
        QCOMPARE(order, QList<qint64>({size("b.mpg"), size("c.mpg"), size("a.mpg")}));
        QCOMPARE(out.progress.mid(out.progress.indexOf("20"), 3), QStringList({"20", "21", "99"}));
        QVERIFY(!out.estimates.filter(QRegularExpression("^Time remaining: 62:0\\d \\(approx\\.\\)$")).isEmpty());
        QCOMPARE(out.estimates.mid(out.estimates.size() - 2), QStringList({"Closing disc...", "Burn complete"}));
        const QRegularExpression log("Authoring DVD.*Burning Video DVD.*write failed.*exitCode=true.*exitCode=true"
                                     ".*Total translation table size.*exitCode=false",
                                     QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(log.match(QString(readFile(product.temp() + "log.txt"))).hasMatch());
    }

    void dvdFailure_data()
    {
        QTest::addColumn<QStringList>("tools");
        QTest::addColumn<QStringList>("real");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("reason");
        QTest::newRow("authoring fails") << QStringList{"growisofs"} << QStringList{"dvdauthor"} << 0
                                         << "no VOBUs found.";
        QTest::newRow("no growisofs") << QStringList() << QStringList{"dvdauthor"} << 1
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

    void cdBurn_data()
    {
        QTest::addColumn<QByteArray>("exit");
        QTest::addColumn<QString>("status");
        QTest::newRow("burned") << QByteArray("0") << "Burn Complete/Burn complete";
        QTest::newRow("burner failed") << QByteArray("255") << "Burn Failed/Burn failed";
    }
    void cdBurn()
    {
        QFETCH(QByteArray, exit);
        QFETCH(QString, status);
        ToolFolder tools({"cdrskin"});
        qputenv("MFS_FAKE_EXIT", exit);
        const Outcome out = burn("cd", node, staging(tracks), "");
        QCOMPARE(out.status.first(), QString("Burning Audio CD..."));
        QCOMPARE(out.status.last() + "/" + out.estimates.last(), status);
        // z was made first: track 1. One argument per track.
        const QStringList args = tools.read("burner.args").trimmed().split(' ');
        QCOMPARE(args.mid(0, 7).join(' '), "cdrskin -v dev=" + node + " -pad -audio -dao gracetime=2");
        QCOMPARE(QList<qint64>({QFileInfo(args.value(7)).size(), QFileInfo(args.value(8)).size()}),
                 QList<qint64>({size("z.wav"), size("a.wav")}));
        // Three tracks by the summary; track 2 at 4 of 46 MB, track 3 done, fixating.
        QCOMPARE(out.progress, QStringList({"35", "99", "99"}));
        QVERIFY(out.estimates.contains("Closing disc..."));
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

    // The BIN/CUE opens in libcdio: each track's samples are the WAV's.
    void cdImage()
    {
        const QString cue = work.filePath("songs.cue");
        const Outcome out = burn("cd", cue, staging(tracks), "");
        QVERIFY2(out.ok, qPrintable(out.reason));
        CdIo_t *cd = cdio_open_cue(QFile::encodeName(cue).constData());
        QVERIFY(cd);
        QCOMPARE(int(cdio_get_num_tracks(cd)), 2);
        for (int t = 1; t <= 2; ++t) {
            QVERIFY(ffmpeg({"-i", work.filePath(tracks[t - 1]), "-f", "s16le", work.filePath("track.pcm")}));
            QByteArray expected = readFile(work.filePath("track.pcm"));
            expected.append(QByteArray((2352 - expected.size() % 2352) % 2352, '\0'));
            const lsn_t first = cdio_get_track_lsn(cd, t);
            QByteArray got((cdio_get_track_last_lsn(cd, t) - first + 1) * 2352, '\1');
            QCOMPARE(cdio_read_audio_sectors(cd, got.data(), first, got.size() / 2352), DRIVER_OP_SUCCESS);
            QVERIFY2(got == expected, qPrintable(QString("track %1: %2 vs %3").arg(t).arg(got.size()).arg(expected.size())));
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
        const Outcome o = burn(dvd ? "dvd" : "cd", out.filePath(image), staging(dvd ? titles.mid(0, 1) : tracks),
                               dvd ? "PAL" : "", replace ? QStringList{out.filePath(taken)} : QStringList());
        QCOMPARE(o.ok, replace);
        QCOMPARE(o.reason, replace ? QString() : out.filePath(taken) + " already exists; the image was not saved.");
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), files);
        QCOMPARE(readFile(out.filePath(taken)) == "keep", !replace);
    }
};

QTEST_MAIN(TestBurnChecks)
#include "tst_burnchecks.moc"
