#include "app/selectdrive.h"
#include "burnsupport.h"
#include "disc/burn/burnparse.h"
#include "disc/burn/disccheck.h"
#include "disc/drives.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

namespace {
QString transcript(const QString &name)
{
    QFile f(testData("transcripts/" + name));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}
const QString node = "/dev/sr99";
const QString notBlank = "Please insert a blank DVD into the selected drive";
const QString tooSmall = "The disc is not large enough.\n\nA Single Layer disc can hold 2 hours of video\n"
                         "while a Dual Layer disc can hold 3.5 hours.";
const QStringList dvdTools{"growisofs", "dvd+rw-mediainfo"}, cdTools{"cdrskin", "mfs-cdstate"};
} // namespace

// The tools' text as the burner reads it, the disc checks over the tools'
// stand-ins, the CD-state tool itself, and the burner dialog.
class TestBurnChecks : public QObject
{
    Q_OBJECT
    QTemporaryDir scratch;

private slots:
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
        QTest::addColumn<QString>("disc");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("tools");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QByteArray>("free"); // blocks of a DVD, seconds of a CD
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("answer"); // its start; "" passes
        auto row = [](const char *name, const char *disc, QStringList tools, const char *mode, const char *free,
                      int seconds, QString answer, QString id = node) {
            QTest::newRow(name) << disc << id << tools << QByteArray(mode) << QByteArray(free) << seconds << answer;
        };
        row("2 h on any blank DVD", "dvd", dvdTools, "blank-dvd-r", "", 7200, "");
        row("7201 s, 2297888 blocks", "dvd", dvdTools, "blank-dvd-r", "2297888", 7201, tooSmall);
        row("7201 s, 2297889 blocks", "dvd", dvdTools, "blank-dvd-r", "2297889", 7201, "");
        row("12601 s on DL", "dvd", dvdTools, "blank-dvd+r-dl", "", 12601, tooSmall);
        row("DVD not blank", "dvd", dvdTools, "appendable-dvd-r", "", 60, notBlank);
        row("no drive", "dvd", dvdTools, "no-drive", "", 60, notBlank);
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
        row("DVD image", "dvd", {}, "", "", 600, "", scratch.filePath("movie.iso"));
        row("image too large", "dvd", {}, "", "", 2000000000, "There is not enough room for the image in ",
            scratch.filePath("movie.iso"));
    }
    void checkDisc()
    {
        QFETCH(QString, disc);
        QFETCH(QString, id);
        QFETCH(QStringList, tools);
        QFETCH(QByteArray, mode);
        QFETCH(QByteArray, free);
        QFETCH(int, seconds);
        QFETCH(QString, answer);
        ToolFolder path(tools, {"dvdauthor", "genisoimage"});
        qputenv("MFS_FAKE_MODE", mode);
        qputenv(disc == "dvd" ? "MFS_FAKE_BLOCKS" : "MFS_FAKE_SECONDS", free);
        const QString got = DiscCheck::checkDisc(id, seconds, disc);
        QVERIFY2(answer.isEmpty() ? got.isEmpty() : got.startsWith(answer), qPrintable(got));
        qunsetenv("MFS_FAKE_BLOCKS");
    }

    // The real tool's answer on a libburn pseudo drive.
    void cdStateTool()
    {
        QProcess tool;
        tool.start(MFS_TEST_BIN "/mfs-cdstate", {"stdio:" + scratch.filePath("pseudo.img")});
        QVERIFY(tool.waitForFinished(20000));
        const QString answer = tool.readAllStandardOutput();
        QVERIFY2(QRegularExpression("^DISC_STATUS=BLANK\nFREE_SECONDS=[1-9][0-9]*\n$").match(answer).hasMatch(),
                 qPrintable(answer));
    }

    void dialog_data()
    {
        QTest::addColumn<QString>("disc");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("save");     // the file dialog's answer
        QTest::addColumn<QString>("existing"); // a file already there
        QTest::addColumn<QString>("chosen");   // "" when the dialog stays open
        QTest::addColumn<QStringList>("boxes");
        const QString movie = scratch.filePath("movie");
        const QString replace = "%1 already exists.\nDo you want to replace it?";
        auto row = [](const char *name, const char *disc, const char *mode, int entry, QString save,
                      QString existing, QString chosen, QStringList boxes) {
            QTest::newRow(name) << disc << QByteArray(mode) << entry << save << existing << chosen << boxes;
        };
        row("blank DVD", "dvd", "blank-dvd-r", 0, "", "", node, {});
        row("DVD not blank", "dvd", "appendable-dvd-r", 0, "", "", "", {notBlank});
        row("image gets its suffix", "dvd", "", 1, movie, "", movie + ".iso", {});
        row("suffixed name taken", "dvd", "", 1, movie, movie + ".iso", "", {replace.arg("movie.iso")});
        row("bin beside taken", "cd", "", 1, movie + ".cue", movie + ".bin", "", {replace.arg("movie.bin")});
        row("file dialog cancelled", "dvd", "", 1, "", "", "", {});
    }
    void dialog()
    {
        QFETCH(QString, disc);
        QFETCH(QByteArray, mode);
        QFETCH(int, entry);
        QFETCH(QString, save);
        QFETCH(QString, existing);
        QFETCH(QString, chosen);
        QFETCH(QStringList, boxes);
        ToolFolder path(dvdTools + cdTools, {"dvdauthor", "genisoimage"});
        qputenv("MFS_FAKE_MODE", mode);
        Drives::setLister([] { return QStringList{node}; });
        QFile taken(existing);
        QVERIFY(existing.isEmpty() || taken.open(QIODevice::WriteOnly));
        PromptRecorder prompts;
        prompts.saveAnswers << save;
        SelectDrive dialog;
        dialog.setRun(disc, 60);
        dialog.scanDrives();
        QCOMPARE(dialog.driveList()->itemText(0) + "," + dialog.driveList()->itemText(1), node + " [],Image file");
        dialog.driveList()->setCurrentIndex(entry);
        dialog.okButton()->click();
        QCOMPARE(dialog.result() == QDialog::Accepted ? dialog.deviceId() : QString(), chosen);
        QCOMPARE(prompts.texts(), boxes);
        if (!existing.isEmpty())
            taken.remove();
        Drives::setLister({});
    }
};

QTEST_MAIN(TestBurnChecks)
#include "tst_burnchecks.moc"
