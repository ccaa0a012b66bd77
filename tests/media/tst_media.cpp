// The media pipeline: what the drop target takes, the probe (with stand-ins for a missing or hanging
// tool), how presets fit a frame, and the runner with real ffmpeg and with stand-ins for timing faults.
#include "app/droppablewidget.h"
#include "media/commandline.h"
#include "media/conversionthread.h"
#include "media/fileinfothread.h"
#include "mediasupport.h"

#include <QImageReader>

namespace {

// Files dropped ("!": one that doesn't exist): whether the drag is taken,
// what is handed on, and whether CD tracks were refused with a message.
struct Drop { QStringList names; bool entered; QStringList dropped; bool cdMessage = false; };
// A file probed: its base name, "codec|field 1|frame size" of its video and the codec of its audio.
struct Probe { QString name, base, video, audio; };
// A job for the real converter: files there first, arguments, the name it takes, its error; disk full or not.
struct Job { QStringList existing; QString args, chosen, error; bool fullDisk = false; };
// A stand-in's act: its mode, the test's steps ("a" or "b" hands over a job, "running" waits for the
// converter, "stop", "go" lets the "waitgo" and "film" ones end), the signals (%1 is the output
// folder) and the progress reported.
struct Act { QByteArray mode; QString steps, expected; QList<int> progress = {}; };

// A runner that keeps its signals as one readable list, in the order they came.
struct Runner : ConversionThread {
    Runner()
    {
        connect(this, &ConversionThread::startConversion, this, [this](const QString &n) { events << "start " + n; });
        connect(this, &ConversionThread::conversionProgress, this, [this](int t) { progress << t; });
        connect(this, &ConversionThread::conversionComplete, this, [this](bool ok, const QString &o, const QString &m) {
            events << QString("complete %1 %2|%3").arg(ok).arg(o, m);
        });
        connect(this, &ConversionThread::conversionCancelled, this, [this] { events << "cancelled"; });
    }
    ~Runner() override { wait(); }
    QStringList events;
    QList<int> progress;
};

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
        // Beside a file of the same name without the space, and one whose name is not UTF-8.
        QVERIFY(QFile::copy(media("clip.mkv"), media("Music/song.mp3 ")));
        QVERIFY(writeNamed(media(latin1Name(".mp4")), readFile(media("both.mp4"))));
        QVERIFY(writeFile(media("broken.mp4"), "this is not a film\n"));
    }

    void cleanupTestCase() { ::unlink(FileNames::encode(media(latin1Name(".mp4"))).constData()); }

    void drop_data()
    {
        addRows<Drop>("drop", {
            {"refused", {{"b.txt", "README"}, false, {}}},
            {"refused among films, order kept", {{"b.txt", "z.wav", "a b.c.mkv"}, true, {"z.wav", "a b.c.mkv"}}},
            {"CD tracks, one message", {{"Track01.cda", "Track02.cda", "song.mp3"}, true, {"song.mp3"}, true}},
            {"capital CDA is a file", {{"TRACK01.CDA"}, true, {"TRACK01.CDA"}}},
            {"missing file", {{"!gone.mp3"}, true, {}}},
            {"name not UTF-8", {{latin1Name(".wav")}, true, {latin1Name(".wav")}}}});
    }

    void drop()
    {
        QFETCH(Drop, drop);
        QTemporaryDir dir;
        // QTemporaryDir can't see names that aren't UTF-8.
        const auto removeNamed = qScopeGuard([&] { runTool("rm", {"-rf", dir.path()}); });
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
        // Qt sends a refused drag nothing more; the next move gives clicks back to the list.
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(&w, drop.entered ? static_cast<QEvent *>(&event) : &move);
        QVERIFY(!drop.entered || event.isAccepted());
        QVERIFY(w.testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(fileDropped.count(), drop.entered ? 1 : 0);
        QCOMPARE(fileDropped.value(0).value(0).toStringList(), drop.dropped);
        QCOMPARE(prompts.texts(), drop.cdMessage ? QStringList{"Audio CD Tracks cannot be dragged in.\n\n"
                                                          "Please use the CD button in the Add tab."}
                                            : QStringList{});
    }

    void probe_data()
    {
        // "dots and spaces" and "name not UTF-8" hold the same bytes as both.mp4.
        const QString av = "h264|yuv420p(tv, bt709, progressive)|160x120", video = "h264|yuv420p(progressive)|192x108";
        addRows<Probe>("p", {{"audio only", {"Music/song.mp3", "song", "", "mp3"}},
                             {"video only", {"clip.mkv", "clip", video, ""}},
                             {"dots and spaces", {"my.holiday. clip v2.mp4", "my.holiday. clip v2", av, "aac"}},
                             {"space at the end", {"Music/song.mp3 ", "song", video, ""}},
                             {"name not UTF-8", {latin1Name(".mp4"), latin1Name(""), av, "aac"}},
                             {"unreadable", {"broken.mp4", "broken", "", ""}}});
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

    // A missing tool is reported and the queue kept; a hanging one is ended
    // and the probe goes on.
    void brokenTool()
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

        StandIn ffmpeg("hang", product.appData());
        probe.setToolWait(300);
        probe.enqueue(media("both.mp4"));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 3, 5000);
        QCOMPARE(ready.at(2).at(0).toStringList(), (QStringList{"both.mp4", m_media.path() + "/", "both", "", ""}));
        QVERIFY(!ffmpeg.alive());
        // Closing doesn't sit out the full wait of a stuck tool.
        probe.setToolWait(FileInfoThread::defaultToolWaitMs);
        probe.enqueue(media("both.mp4"));
        QTRY_VERIFY(ffmpeg.alive());
        const QDeadlineTimer soon(3000);
        probe.shutdown();
        QVERIFY(!soon.hasExpired());
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
            if (++answers == 25)
                qputenv("MFS_FAKE_VIDEO", "h264, yuv420p, 320x240");
            if (answers <= 25)
                probe.enqueue(answers < 25 ? "/in/a b.wav" : "/in/film.mkv");
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

    // Preset, the input's frame (empty: no video), the arguments made.
    void build_data()
    {
        addRows<QStringList>("c", {
            {"16:9 into 4:3 box", {"-s 320x240 -c:v libx264", "1280x720", "-s 320x180 -c:v libx264"}},
            {"5:4 touches the height", {"-s 640x480", "720x576", "-s 600x480"}},
            {"odd height rounded up", {"-s 320x240", "720x480", "-s 320x214"}},
            {"no video gets -vn", {"-s 320x240 -c:v libx264", "", "-s 320x240 -c:v libx264 -vn"}},
            {"audio preset kept", {"-vn -c:a libmp3lame", "", "-vn -c:a libmp3lame"}},
            {"-pix_fmt first kept", {"-pix_fmt yuv420p -s 320x240", "1280x720", "-pix_fmt yuv420p -s 320x240"}},
            {"-aspect never fitted", {"-s 320x240 -aspect 4:3", "1280x720", "-s 320x240 -aspect 4:3"}},
            {"DVD sound alone gets black", {"-target pal-dvd -aspect 16:9", "", "-f lavfi -i "
                "color=c=black:s=720x576:r=25 -map 1:v -map 0:a -shortest -target pal-dvd -aspect 16:9"}},
            {"NTSC DVD sound alone", {"-target ntsc-dvd -aspect 4:3", "", "-f lavfi -i "
                "color=c=black:s=720x480:r=30000/1001 -map 1:v -map 0:a -shortest -target ntsc-dvd -aspect 4:3"}},
            {"DVD picture kept", {"-target pal-dvd -aspect 16:9", "1280x720", "-target pal-dvd -aspect 16:9"}},
            // Forms the fitting can't use leave the list as it is.
            {"no second token", {"-s", "1280x720", "-s"}},
            {"second token not WxH", {"-c:v libx264", "1280x720", "-c:v libx264"}},
            {"box height 0", {"-s 320x0", "1280x720", "-s 320x0"}},
            {"input not WxH", {"-s 320x240", "1280", "-s 320x240"}},
            {"extreme proportions", {"-s 2147483647x2147483646", "1x2147483647", "-s 0x2147483646"}}});
    }

    void build()
    {
        QFETCH(QStringList, c);
        QCOMPARE(buildPresetArguments(c.at(0), c.at(1)), c.at(2).split(' '));
    }

    // Real ffmpeg: a free name beside the user's files, progress, the last
    // error line, and the log. A failed job's output goes, the user's files stay.
    void realConverter_data()
    {
        // The realtime filter makes three seconds of input take three seconds.
        addRows<Job>("job", {
            {"progress", {{}, "-vf realtime -c:v mpeg4 -an", "out.mkv", ""}},
            {"name taken twice", {{"out.mkv", "out (New).mkv"}, "-c:v mpeg4", "out (New)(2).mkv", ""}},
            {"failure", {{}, "-c:v no_such_codec", "out.mkv", "Unknown encoder 'no_such_codec'"}},
            {"full disk", {{"out.wav"}, "-vn -ar 48000 -ac 2", "out (New).wav", "Conversion failed!", true}}});
    }

    void realConverter()
    {
        QFETCH(Job, job);
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
        r.startJob(media("both.mp4"), job.args.split(' '), dir + "out ", QFileInfo(job.chosen).suffix());
        QTRY_COMPARE_WITH_TIMEOUT(r.events.size(), 2, 20000);
        qunsetenv("LD_PRELOAD");
        qunsetenv("MFS_FULL_FOR");
        const bool ok = job.error.isEmpty();
        QStringList left = job.existing + (ok ? QStringList{job.chosen} : QStringList());
        left.sort();
        QCOMPARE(QDir(dir).entryList(QDir::Files), left);
        for (const QString &name : job.existing)
            QCOMPARE(readFile(dir + name), "user's");
        const QString chosen = dir + job.chosen;
        QCOMPARE(r.events, (QStringList{"start " + job.chosen,
                                        QString("complete %1 %2|%3").arg(ok).arg(chosen, job.error)}));
        const QStringList log = QString(readFile(product.temp() + "log.txt")).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(log.first(),
                 QString("Starting conversion: ffmpeg -i \"%1\" %2 \"%3\"").arg(media("both.mp4"), job.args, chosen));
        // The end, then on failure the converter's whole report.
        const QString finished = "Conversion finished: quitOK=" + QString(ok ? "true" : "false");
        const int end = log.indexOf(finished);
        QVERIFY(end > 0);
        QCOMPARE(log.mid(end).join('\n').contains("Input #0"), !ok);
        QCOMPARE(log.last(), ok ? finished : job.error);
        const QList<int> &p = r.progress;
        QVERIFY2(!job.args.contains("realtime")
                     || (p.size() >= 2 && std::is_sorted(p.begin(), p.end()) && p.last() >= 1 && p.last() <= 3),
                 qPrintable(QDebug::toString(p)));
    }

    // Timing faults, with a stand-in for ffmpeg.
    void standIn_data()
    {
        addRows<Act>("act", {
            {"crash", {"crash", "a", "start a.wav\ncomplete 0 %1/a.wav|Error while decoding stream #0:0", {1}}},
            // "time=N/A" first, then a record cut across two reads and one after it.
            {"record split across reads", {"split", "a", "start a.wav\ncomplete 1 %1/a.wav|", {0, 7}}},
            {"silent but writing", {"grow", "a", "start a.wav\ncomplete 1 %1/a.wav|"}},
            {"hung", {"hang", "a", "start a.wav\ncomplete 0 %1/a.wav|FFmpeg stopped responding and was ended."}},
            {"missing", {"missing", "a", "complete 0 %1/a.wav|FFmpeg could not be found. Please install ffmpeg."}},
            // The message goes on with the system's reason.
            {"never starts", {"unstartable", "a", "complete 0 %1/a.wav|FFmpeg could not be started: "}},
            // The stand-in has written its output; the stop must remove it.
            {"stop while writing", {"film", "a running stop", "start a.wav\ncancelled"}},
            // Setting the flag wakes nobody: the converter's end does.
            {"stop after the converter ended, before the runner noticed", {"waitgo", "a running stop go",
                "start a.wav\ncancelled"}},
            {"a job handed over during a run waits for it", {"waitgo", "a running b go",
                "start a.wav\ncomplete 1 %1/a.wav|\nstart b.wav\ncomplete 1 %1/b.wav|"}},
            {"a stop drops the waiting job", {"waitgo", "a running b stop go",
                "start a.wav\ncancelled\ncomplete 1 %1/a.wav|"}}});
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
        const QString expected = QString(act.expected).replace("%1", dir);
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
        QCOMPARE(QDir(dir).entryList({"*.wav"}),
                 expected.split('\n').filter("complete 1 ").replaceInStrings(QRegularExpression(".*/|\\|"), ""));
        // A stopped run is not logged as finished.
        QCOMPARE(readFile(product.temp() + "log.txt").count("Conversion finished"), expected.count("complete"));
    }
};

QTEST_MAIN(TestMedia)
#include "tst_media.moc"
