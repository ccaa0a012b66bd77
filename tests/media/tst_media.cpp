// The media pipeline: what the drop target takes, the probe (with stand-ins
// for a missing or hanging tool), how presets fit a frame, and the runner
// with real ffmpeg and with stand-ins for the timing faults.
#include "app/droppablewidget.h"
#include "media/commandline.h"
#include "media/conversionthread.h"
#include "media/fileinfothread.h"
#include "mediasupport.h"

#include <QImageReader>

namespace {

// Files dropped ("!": one that doesn't exist): whether the drag is taken,
// what is handed on, and whether CD tracks were refused with a message.
struct Drop { QStringList names; bool entered; QStringList dropped; bool cdMessage; };
// A file probed: its base name, "codec|field 1|frame size" of its video and
// the codec of its audio.
struct Probe { QString name, base, video, audio; };

// A runner that keeps its signals as one readable list, in the order they came.
struct Runner : ConversionThread {
    Runner()
    {
        connect(this, &ConversionThread::startConversion, this,
                [this](const QString &name) { events << "start " + name; });
        connect(this, &ConversionThread::conversionProgress, this, [this](int t) { progress << t; });
        connect(this, &ConversionThread::conversionComplete, this,
                [this](bool ok, const QString &out, const QString &msg) {
                    events << QString("complete %1 %2|%3").arg(ok).arg(out, msg);
                });
        connect(this, &ConversionThread::conversionCancelled, this, [this] { events << "cancelled"; });
    }
    ~Runner() override { wait(); }
    QStringList events;
    QList<int> progress;
};

// A job for the real converter: files already there, the arguments, the
// name it takes and the error it ends with; on a full disk or not.
struct Job { QStringList existing; QString args, chosen, error; bool fullDisk = false; };
// A stand-in's act: its mode, the test's steps ("a" or "b" hands over a job,
// "running" waits for the converter, "stop", "go" lets the "waitgo" and
// "film" ones end),
// the signals (%1 is the output folder) and the progress reported.
struct Act { QByteArray mode; QString steps, expected; QList<int> progress; };

QStringList logLines(const ScratchProduct &product)
{
    return QString::fromLocal8Bit(readFile(product.temp() + "log.txt")).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestMedia : public QObject
{
    Q_OBJECT

    QTemporaryDir m_media;
    QString media(const QString &name) const { return m_media.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(makeMedia(media("Music/song.mp3"), "audio"));
        QVERIFY(makeMedia(media("clip.mkv"), "video"));
        QVERIFY(makeMedia(media("both.mp4"), "av"));
        QVERIFY(QFile::copy(media("both.mp4"), media("my.holiday. clip v2.mp4")));
        // Beside a file of the same name without the space, and one whose
        // name is not UTF-8.
        QVERIFY(QFile::copy(media("clip.mkv"), media("Music/song.mp3 ")));
        QVERIFY(writeNamed(media(latin1Name(".mp4")), readFile(media("both.mp4"))));
        QVERIFY(writeFile(media("broken.mp4"), "this is not a film\n"));
    }

    void cleanupTestCase() { ::unlink(FileNames::encode(media(latin1Name(".mp4"))).constData()); }

    void drop_data()
    {
        QTest::addColumn<Drop>("drop");
        auto row = [](const char *name, const QStringList &names, bool entered, const QStringList &dropped,
                      bool cdMessage = false) { QTest::newRow(name) << Drop{names, entered, dropped, cdMessage}; };
        row("refused", {"b.txt", "README"}, false, {});
        row("refused among films, order kept", {"b.txt", "z.wav", "a b.c.mkv"}, true, {"z.wav", "a b.c.mkv"});
        row("CD tracks, one message", {"Track01.cda", "Track02.cda", "song.mp3"}, true, {"song.mp3"}, true);
        row("capital CDA is a file", {"TRACK01.CDA"}, true, {"TRACK01.CDA"});
        row("missing file", {"!gone.mp3"}, true, {});
        row("name not UTF-8", {latin1Name(".wav")}, true, {latin1Name(".wav")});
    }

    void drop()
    {
        QFETCH(Drop, drop);
        QTemporaryDir dir;
        // QTemporaryDir can't see names that aren't UTF-8.
        const auto removeNamed = qScopeGuard([&] {
            for (const QString &name : drop.names)
                ::unlink(FileNames::encode(dir.filePath(name)).constData());
        });
        QList<QUrl> urls;
        for (const QString &name : drop.names) {
            const QString path = dir.filePath(QString(name).remove('!'));
            QVERIFY(name.startsWith('!') || writeNamed(path));
            // As a file manager sends it: the name's bytes percent-encoded.
            urls << QUrl::fromEncoded("file://" + FileNames::encode(path).toPercentEncoding("/"));
        }
        for (QString &name : drop.dropped)
            name = QDir::toNativeSeparators(dir.filePath(name));
        QMimeData mime;
        mime.setUrls(urls);
        PromptRecorder prompts;
        DroppableWidget w;
        QSignalSpy fileDropped(&w, &DroppableWidget::fileDropped);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &enter);
        QCOMPARE(enter.isAccepted(), drop.entered);
        QVERIFY(!w.testAttribute(Qt::WA_TransparentForMouseEvents));
        if (!drop.entered) {
            // Qt sends a refused drag nothing more; the next move gives clicks back to the list.
            QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, {});
            QCoreApplication::sendEvent(&w, &move);
            QVERIFY(w.testAttribute(Qt::WA_TransparentForMouseEvents));
            return;
        }
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &event);
        QVERIFY(event.isAccepted());
        QVERIFY(w.testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(fileDropped.count(), 1);
        QCOMPARE(fileDropped.at(0).at(0).toStringList(), drop.dropped);
        QCOMPARE(prompts.texts(), drop.cdMessage ? QStringList{"Audio CD Tracks cannot be dragged in.\n\n"
                                                          "Please use the CD button in the Add tab."}
                                            : QStringList{});
    }

    void probe_data()
    {
        QTest::addColumn<Probe>("p");
        const QString tagged = "h264|yuv420p(tv, bt709, progressive)|160x120";
        QTest::newRow("audio only") << Probe{"Music/song.mp3", "song", "", "mp3"};
        QTest::newRow("video only") << Probe{"clip.mkv", "clip", "h264|yuv420p(progressive)|192x108", ""};
        QTest::newRow("audio and video") << Probe{"both.mp4", "both", tagged, "aac"};
        QTest::newRow("dots and spaces") << Probe{"my.holiday. clip v2.mp4", "my.holiday. clip v2", tagged, "aac"};
        QTest::newRow("space at the end") << Probe{"Music/song.mp3 ", "song", "h264|yuv420p(progressive)|192x108", ""};
        QTest::newRow("name not UTF-8") << Probe{latin1Name(".mp4"), latin1Name(""), tagged, "aac"};
        QTest::newRow("unreadable") << Probe{"broken.mp4", "broken", "", ""};
    }

    void probe()
    {
        QFETCH(Probe, p);
        ScratchProduct product;
        // Whatever second the probe runs in, the plain thumbnail name is taken.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (qint64 s = now - 1; s < now + 20; ++s)
            QVERIFY(writeFile(product.temp() + QString::number(s) + ".png", "old"));
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        const QString path = media(p.name);
        probe.enqueue(path);
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 20000);
        const QStringList info = ready.at(0).at(0).toStringList();
        const QStringList v = ready.at(0).at(1).toStringList(), a = ready.at(0).at(2).toStringList();
        const int slash = path.lastIndexOf('/');
        QCOMPARE(info.mid(0, 3), (QStringList{path.mid(slash + 1), path.left(slash + 1), p.base}));
        if (!p.video.isEmpty() || !p.audio.isEmpty())
            QCOMPARE(info.at(3), QString("00:00:03"));
        QCOMPARE(a.value(0).section(' ', 0, 0), p.audio);
        const QString fields = v.value(0).section(' ', 0, 0) + "|" + v.value(1) + "|"
                               + v.value(2).section(' ', 0, 0);
        QCOMPARE(v.isEmpty() ? "" : fields, p.video);
        QCOMPARE(info.at(4).isEmpty(), p.video.isEmpty());
        if (p.video.isEmpty())
            return;
        QImageReader thumb(info.at(4));
        QCOMPARE(thumb.format(), QByteArray("png"));
        QCOMPARE(thumb.size(), QSize(88, 66));
        const QString stamp = QFileInfo(info.at(4)).completeBaseName();
        QVERIFY2(info.at(4).startsWith(product.temp()) && stamp.size() >= 20
                     && stamp == stamp.left(10).repeated(stamp.size() / 10),
                 qPrintable(info.at(4)));
    }

    void missingFfmpegIsReportedAndTheQueueKept()
    {
        ScratchProduct product;
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        QSignalSpy missing(&probe, &FileInfoThread::converterMissing);
        {
            StandIn none("missing", product.appData());
            probe.enqueue(media("both.mp4"));
            QTRY_COMPARE(missing.count(), 1);
        }
        QCOMPARE(missing.at(0).at(0).toString(), QString("FFMpeg could not be located or is not responding.\n\n"
                                                         "Please try re-installing MediaForgeStudio."));
        probe.enqueue(media("clip.mkv"));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, 20000);
        QCOMPARE(ready.at(0).at(0).toStringList().at(0) + " " + ready.at(1).at(0).toStringList().at(0),
                 QString("both.mp4 clip.mkv"));
    }

    void hangingToolIsKilledAndTheProbeGoesOn()
    {
        ScratchProduct product;
        StandIn ffmpeg("hang", product.appData());
        FileInfoThread probe;
        probe.setToolWait(300);
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        probe.enqueue(media("both.mp4"));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 5000);
        const QStringList info = ready.at(0).at(0).toStringList();
        QCOMPARE(info, (QStringList{"both.mp4", m_media.path() + "/", "both", "", ""}));
        QVERIFY(!ffmpeg.alive());

        // Closing doesn't sit out the full wait of a stuck tool.
        probe.setToolWait(FileInfoThread::defaultToolWaitMs);
        probe.enqueue(media("both.mp4"));
        QTRY_VERIFY(ffmpeg.alive());
        QElapsedTimer clock;
        clock.start();
        probe.shutdown();
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY(!ffmpeg.alive());
    }

    // One run both probes and takes the picture a second in; only a long
    // input with a picture gets a second run, a twentieth in. A path queued
    // just as the thread is on its way out is still probed.
    void toolCommandsAndALateQueue()
    {
        ScratchProduct product;
        StandIn ffmpeg("film", product.appData());
        FileInfoThread probe;
        int answers = 0;
        connect(&probe, &FileInfoThread::fileInfoReady, this, [&] {
            if (++answers < 25)
                probe.enqueue("/in/a b.wav");
            else if (answers == 25)
                qputenv("MFS_FAKE_VIDEO", "h264, yuv420p, 320x240");
            if (answers == 25)
                probe.enqueue("/in/film.mkv");
        });
        probe.enqueue("/in/a b.wav");
        QTRY_COMPARE_WITH_TIMEOUT(answers, 26, 20000);
        qunsetenv("MFS_FAKE_VIDEO");
        const QStringList runs = QString::fromLocal8Bit(readFile(product.appData() + "/args")).split('\n');
        const QString picture = " -y -f image2 -frames:v 1 -s 88x66 " + product.temp();
        QCOMPARE(runs.size(), 25 + 2 + 1);
        QVERIFY2(runs.at(24).startsWith("-ss 1 -i /in/a b.wav" + picture), qPrintable(runs.at(24)));
        QVERIFY2(runs.at(25).startsWith("-ss 1 -i /in/film.mkv" + picture), qPrintable(runs.at(25)));
        QVERIFY2(runs.at(26).startsWith("-ss 3 -i /in/film.mkv" + picture), qPrintable(runs.at(26)));
    }

    void build_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("aspect");  // the input's frame; empty: no video
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *preset, const char *aspect, const char *expected) {
            QTest::newRow(name) << QString(preset) << QString(aspect) << QString(expected);
        };
        row("16:9 into 4:3 box", "-s 320x240 -c:v libx264", "1280x720", "-s 320x180 -c:v libx264");
        row("5:4 touches the height", "-s 640x480", "720x576", "-s 600x480");
        row("odd height rounded up", "-s 320x240", "720x480", "-s 320x214");
        row("no video gets -vn", "-s 320x240 -c:v libx264", "", "-s 320x240 -c:v libx264 -vn");
        row("audio preset kept", "-vn -c:a libmp3lame", "", "-vn -c:a libmp3lame");
        row("-pix_fmt first kept", "-pix_fmt yuv420p -s 320x240", "1280x720", "-pix_fmt yuv420p -s 320x240");
        row("-aspect never fitted", "-s 320x240 -aspect 4:3", "1280x720", "-s 320x240 -aspect 4:3");
        row("DVD sound alone gets black", "-target pal-dvd -aspect 16:9", "",
            "-f lavfi -i color=c=black:s=720x576:r=25 -map 1:v -map 0:a -shortest -target pal-dvd -aspect 16:9");
        row("NTSC DVD sound alone", "-target ntsc-dvd -aspect 4:3", "",
            "-f lavfi -i color=c=black:s=720x480:r=30000/1001 -map 1:v -map 0:a -shortest -target ntsc-dvd "
            "-aspect 4:3");
        row("DVD picture kept", "-target pal-dvd -aspect 16:9", "1280x720", "-target pal-dvd -aspect 16:9");
        // Forms the fitting can't use leave the list as it is.
        row("no second token", "-s", "1280x720", "-s");
        row("second token not WxH", "-c:v libx264", "1280x720", "-c:v libx264");
        row("box height 0", "-s 320x0", "1280x720", "-s 320x0");
        row("input not WxH", "-s 320x240", "1280", "-s 320x240");
        row("extreme proportions", "-s 2147483647x2147483646", "1x2147483647", "-s 0x2147483646");
    }

    void build()
    {
        QFETCH(QString, preset);
        QFETCH(QString, aspect);
        QFETCH(QString, expected);
        QCOMPARE(buildPresetArguments(preset, aspect), expected.split(' '));
    }

    // Real ffmpeg: a free name beside the user's files, progress, the last
    // error line, and the log. A failed job's output goes, the user's files stay.
    void realConverter_data()
    {
        QTest::addColumn<Job>("job");
        // The realtime filter makes three seconds of input take three seconds.
        QTest::newRow("progress") << Job{{}, "-vf realtime -c:v mpeg4 -an", "out.mkv", ""};
        QTest::newRow("name taken twice") << Job{{"out.mkv", "out (New).mkv"}, "-c:v mpeg4", "out (New)(2).mkv", ""};
        QTest::newRow("failure") << Job{{}, "-c:v no_such_codec", "out.mkv", "Unknown encoder 'no_such_codec'"};
        QTest::newRow("full disk") << Job{{"out.wav"}, "-vn -ar 48000 -ac 2", "out (New).wav", "Conversion failed!", true};
    }

    void realConverter()
    {
        QFETCH(Job, job);
        const QString args = job.args, chosen = job.chosen, error = job.error;
        ScratchProduct product;
        const QString dir = product.appData() + "/";
        for (const QString &name : job.existing)
            QVERIFY(writeFile(dir + name, "user's"));
        // The converter's large writes fail as on a full disk.
        if (job.fullDisk) {
            qputenv("LD_PRELOAD", MFS_WRITE_SHIM);
            qputenv("MFS_FULL_FOR", QFile::encodeName(dir));
        }
        Runner r;
        r.startJob(media("both.mp4"), args.split(' '), dir + "out ", QFileInfo(chosen).suffix());
        QTRY_COMPARE_WITH_TIMEOUT(r.events.size(), 2, 20000);
        qunsetenv("LD_PRELOAD");
        qunsetenv("MFS_FULL_FOR");
        QStringList left = job.existing + (error.isEmpty() ? QStringList{chosen} : QStringList());
        left.sort();
        QCOMPARE(QDir(dir).entryList(QDir::Files), left);
        for (const QString &name : job.existing)
            QCOMPARE(readFile(dir + name), "user's");
        const QString complete = QString("complete %1 %2|%3").arg(error.isEmpty()).arg(dir + chosen, error);
        QCOMPARE(r.events, (QStringList{"start " + chosen, complete}));
        const QStringList log = logLines(product);
        QCOMPARE(log.first(), "Starting conversion: ffmpeg -i \"" + media("both.mp4") + "\" " + args + " \""
                                  + dir + chosen + "\"");
        // The end, then on failure the converter's whole report.
        const QString finished = "Conversion finished: quitOK=" + QString(error.isEmpty() ? "true" : "false");
        const int end = log.indexOf(finished);
        QVERIFY(end > 0);
        QCOMPARE(log.mid(end).join('\n').contains("Input #0"), !error.isEmpty());
        QCOMPARE(log.last(), error.isEmpty() ? finished : error);
        if (args.contains("realtime")) {
            QVERIFY2(r.progress.size() >= 2, qPrintable(QString::number(r.progress.size())));
            QVERIFY(std::is_sorted(r.progress.begin(), r.progress.end()));
            QVERIFY(r.progress.last() >= 1 && r.progress.last() <= 3);
        }
    }

    // Timing faults, with a stand-in for ffmpeg.
    void standIn_data()
    {
        QTest::addColumn<Act>("act");
        auto row = [](const char *name, const char *mode, const char *steps, const char *expected,
                      const QList<int> &progress = {}) { QTest::newRow(name) << Act{mode, steps, expected, progress}; };
        row("crash", "crash", "a", "start a.wav\ncomplete 0 %1/a.wav|Error while decoding stream #0:0", {1});
        // "time=N/A" first, then a record cut across two reads and one after it.
        row("record split across reads", "split", "a", "start a.wav\ncomplete 1 %1/a.wav|", {0, 7});
        row("silent but writing", "grow", "a", "start a.wav\ncomplete 1 %1/a.wav|");
        row("hung", "hang", "a", "start a.wav\ncomplete 0 %1/a.wav|FFmpeg stopped responding and was ended.");
        row("missing", "missing", "a",
            "complete 0 %1/a.wav|FFmpeg could not be found. Please install ffmpeg.");
        // The message goes on with the system's reason.
        row("never starts", "unstartable", "a", "complete 0 %1/a.wav|FFmpeg could not be started: ");
        row("stop while running", "waitgo", "a running stop", "start a.wav\ncancelled");
        row("stop while writing", "film", "a running stop", "start a.wav\ncancelled");
        // Setting the flag wakes nobody: the converter's end does.
        row("stop after the converter ended, before the runner noticed", "waitgo", "a running stop go",
            "start a.wav\ncancelled");
        row("a job handed over during a run waits for it", "waitgo", "a running b go",
            "start a.wav\ncomplete 1 %1/a.wav|\nstart b.wav\ncomplete 1 %1/b.wav|");
        row("a stop drops the waiting job", "waitgo", "a running b stop go",
            "start a.wav\ncancelled\ncomplete 1 %1/a.wav|");
    }

    void standIn()
    {
        QFETCH(Act, act);
        ScratchProduct product;
        const QString dir = product.appData();
        StandIn ffmpeg(act.mode, dir);
        Runner r;
        r.setSilenceLimit(1500);
        for (const QString &step : act.steps.split(' ')) {
            if (step == "running")
                QTRY_VERIFY(ffmpeg.alive());
            else if (step == "stop")
                r.requestStop();
            else if (step == "go")
                QVERIFY(writeFile(dir + "/go"));
            else
                r.startJob("/in/" + step + ".wav", {"-vn"}, dir + "/" + step, "wav");
        }
        // A stop ends the converter within about a second.
        const QString expected = act.expected.arg(dir);
        const auto done = [&] {
            return r.events.size() == expected.count('\n') + 1 && r.events.join('\n').startsWith(expected);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(done(), qPrintable(r.events.join('\n')),
                                  act.steps.contains("stop") ? 2000 : 10000);
        QTest::qWait(300);
        QVERIFY2(done(), qPrintable(r.events.join('\n')));
        QCOMPARE(r.progress, act.progress);
        QVERIFY(!ffmpeg.alive());
        // Only what finished well is left.
        const QStringList kept = expected.split('\n').filter("complete 1 ").replaceInStrings(QRegularExpression(".*/|\\|"), "");
        QCOMPARE(QDir(dir).entryList({"*.wav"}), kept);
        // A stopped run is not logged as finished.
        QCOMPARE(logLines(product).filter("Conversion finished").size(), int(expected.count("complete")));
    }
};

QTEST_MAIN(TestMedia)
#include "tst_media.moc"
