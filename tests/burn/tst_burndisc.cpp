#include "app/mainwindow.h"
#include "app/selectdrive.h"
#include "app/startup.h"
#include "burnsupport.h"
#include "catalogue/catalogue.h"
#include "disc/burn/burndisc.h"
#include "disc/drives.h"
#include "disc/dvd/rippertext.h"
#include "media/commandline.h"
#include "ui/pagedriver.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <cdio/cdio.h>
#include <dvdread/dvd_udf.h>

using namespace PageDriver;

namespace {

const QString node = "/dev/sr99";

struct Outcome {
    QStringList progress, status, estimates;
    bool ok = false;
    QString reason;
};

// Runs one burn to its end and keeps everything it said.
Outcome burn(const QString &disc, const QString &device, const QString &folder, const QString &standard)
{
    BurnDisc burner;
    burner.setTimings({100, 100, 100});
    burner.setJob(disc, device, folder, standard);
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

QString read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList column(QQuickWidget &window, const QString &role)
{
    return eval(window, "var m = mediaList.mediaListModel, out = []; for (var i = 0; i < m.count; ++i) "
                        "out.push(String(m.get(i)." + role + ")); return out").toStringList();
}

} // namespace

// Burns over the disc tools' stand-ins with the real dvdauthor, a CD image
// read back with libcdio, and a DVD image made from the real window.
class TestBurnDisc : public QObject
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
            QThread::msleep(5); // creation stamps at least a millisecond apart
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
        const QStringList project = read(folder + "/mediaforgestudio.xml").split("\r\n");
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
        QVERIFY(log.match(read(product.temp() + "log.txt")).hasMatch());
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
            QCOMPARE(read(folder + "/mediaforgestudio.xml"),
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
            QProcess pcm;
            pcm.start("/usr/bin/ffmpeg", {"-loglevel", "error", "-i", work.filePath(tracks[t - 1]), "-f", "s16le", "-"});
            QVERIFY(pcm.waitForFinished(20000));
            QByteArray expected = pcm.readAllStandardOutput();
            expected.append(QByteArray((2352 - expected.size() % 2352) % 2352, '\0'));
            const lsn_t first = cdio_get_track_lsn(cd, t);
            QByteArray got((cdio_get_track_last_lsn(cd, t) - first + 1) * 2352, '\1');
            QCOMPARE(cdio_read_audio_sectors(cd, got.data(), first, got.size() / 2352), DRIVER_OP_SUCCESS);
            QVERIFY2(got == expected, qPrintable(QString("track %1: %2 vs %3").arg(t).arg(got.size()).arg(expected.size())));
        }
        cdio_destroy(cd);
    }

    // The real window: a DVD run burned to an image file, which plays.
    void imageFromTheWindow()
    {
        PromptRecorder prompts;
        const QString iso = work.filePath("Trip.iso");
        prompts.saveAnswers << work.filePath("Trip");
        Drives::setLister([] { return QStringList{node}; });
        QStringList inputs{"mediaforgestudio"};
        for (const char *length : {"1", "2"}) {
            inputs << work.filePath(QString("clip%1.mkv").arg(length));
            QVERIFY(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-f", "lavfi", "-i", "sine", "-t",
                            length, inputs.last()}));
        }
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        handOverCommandLine(window, inputs);
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "loading"), QStringList({"false", "false"}), 20000);
        for (const char *item : {"tabHeader1", "formatTile:DVD", "outputTile:PAL 16:9", "formatNext"}) {
            QTRY_VERIFY(shown(window, item));
            QVERIFY(click(window, item));
        }
        // The modal burner dialog: the image entry, then OK.
        auto *dialog = window.findChild<SelectDrive *>();
        QStringList entries;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (!dialog->isVisible())
                return;
            answer.stop();
            for (int i = 0; i < dialog->driveList()->count(); ++i)
                entries << dialog->driveList()->itemText(i);
            dialog->driveList()->setCurrentIndex(entries.indexOf("Image file"));
            dialog->okButton()->click();
        });
        answer.start(50);
        QVERIFY(click(window, "convertButton"));
        QCOMPARE(entries, QStringList({node + " []", "Image file"}));
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus"), QStringList({"complete", "complete", "complete"}),
                                  60000);
        QCOMPARE(column(window, "fileName").last() + "/" + column(window, "newFileName").last(), iso + "/Burn Complete");
        QCOMPARE(prompts.texts(), QStringList());
        Drives::setLister({});

        // The program's own DVD reader finds one title as long as the jobs
        // together, and ffmpeg decodes its video object straight from the image.
        QProcess ripper;
        ripper.start(QString(MFS_TEST_BIN) + "/ripper", {iso});
        QVERIFY(ripper.waitForFinished(30000));
        const DvdTitles titles = parseDvdListing(ripper.readAllStandardOutput());
        QCOMPARE(titles.lengths.size(), 1);
        QVERIFY2(qAbs(titles.lengths.first() - 3000) < 500, qPrintable(QString::number(titles.lengths.first())));
        dvd_reader_t *dvd = DVDOpen(QFile::encodeName(iso).constData());
        uint32_t bytes = 0;
        const qint64 start = qint64(UDFFindFile(dvd, "/VIDEO_TS/VTS_01_1.VOB", &bytes)) * 2048;
        DVDClose(dvd);
        QProcess play;
        play.start("/usr/bin/ffmpeg", {"-hide_banner", "-i", QString("subfile,,start,%1,end,%2,,:%3")
                                                                  .arg(start).arg(start + bytes).arg(iso),
                                       "-f", "null", "-"});
        QVERIFY(play.waitForFinished(30000));
        const QString report = play.readAllStandardError();
        QVERIFY2(start > 0 && play.exitCode() == 0 && report.contains("Video: mpeg2video")
                     && report.contains("Audio: ac3"),
                 qPrintable(report));
    }
};

QTEST_MAIN(TestBurnDisc)
#include "tst_burndisc.moc"
