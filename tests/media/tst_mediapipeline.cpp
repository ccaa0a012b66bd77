#include "app/mainwindow.h"
#include "media/commandline.h"
#include "media/conversionthread.h"
#include "app/droppablewidget.h"
#include "media/fileinfothread.h"
#include "mediasupport.h"

#include <QDateTime>
#include <QImageReader>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

// The media pipeline: what the drop target takes, the probe (with stand-ins
// for a missing or hanging tool), how presets fit a frame, and the real
// backend with ffmpeg as the page drives it.
class TestMediaPipeline : public QObject
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
        QFile broken(media("broken.mp4"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("this is not a film\n") > 0);
    }

    void drop_data()
    {
        QTest::addColumn<QStringList>("names");  // "!": a file that doesn't exist
        QTest::addColumn<bool>("entered");
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("cdMessage");
        auto row = [](const char *name, const QStringList &names, bool entered, const QStringList &dropped,
                      bool cdMessage = false) {
            QTest::newRow(name) << names << entered << dropped << cdMessage;
        };
        row("capital extension", {"a.MP3"}, true, {"a.MP3"});
        row("refused", {"b.txt", "README"}, false, {});
        row("refused among films, order kept", {"b.txt", "z.wav", "a b.c.mkv"}, true, {"z.wav", "a b.c.mkv"});
        row("CD tracks, one message", {"Track01.cda", "Track02.cda", "song.mp3"}, true, {"song.mp3"}, true);
        row("capital CDA is a file", {"TRACK01.CDA"}, true, {"TRACK01.CDA"});
        row("missing file", {"!gone.mp3"}, true, {});
        row("not local", {"http://example.com/a.mp3"}, true, {});
    }

    void drop()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, entered);
        QFETCH(QStringList, dropped);
        QFETCH(bool, cdMessage);
        QTemporaryDir dir;
        QList<QUrl> urls;
        for (const QString &name : names) {
            const QString path = dir.filePath(QString(name).remove('!'));
            QVERIFY(name.startsWith('!') || name.contains("://") || QFile(path).open(QIODevice::WriteOnly));
            urls << (name.contains("://") ? QUrl(name) : QUrl::fromLocalFile(path));
        }
        for (QString &name : dropped)
            name = QDir::toNativeSeparators(dir.filePath(name));
        QMimeData mime;
        mime.setUrls(urls);
        PromptRecorder prompts;
        DroppableWidget w;
        QSignalSpy fileDropped(&w, &DroppableWidget::fileDropped);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &enter);
        QCOMPARE(enter.isAccepted(), entered);
        QVERIFY(!w.testAttribute(Qt::WA_TransparentForMouseEvents));
        if (!entered) {
            // Qt sends a refused drag nothing more; the next move gives clicks back to the list.
            QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, {});
            QCoreApplication::sendEvent(&w, &move);
            QVERIFY(w.testAttribute(Qt::WA_TransparentForMouseEvents));
            return;
        }
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(w.testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(fileDropped.count(), 1);
        QCOMPARE(fileDropped.at(0).at(0).toStringList(), dropped);
        QCOMPARE(prompts.texts(), cdMessage ? QStringList{"Audio CD Tracks cannot be dragged in.\n\n"
                                                          "Please use the CD button in the Add tab."}
                                            : QStringList{});
    }

    void probe_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("video");  // codec|field 1|frame size
        QTest::addColumn<QString>("audio");  // codec
        const QString tagged = "h264|yuv420p(tv, bt709, progressive)|160x120";
        QTest::newRow("audio only") << "Music/song.mp3" << "song" << "" << "mp3";
        QTest::newRow("video only") << "clip.mkv" << "clip" << "h264|yuv420p(progressive)|192x108" << "";
        QTest::newRow("audio and video") << "both.mp4" << "both" << tagged << "aac";
        QTest::newRow("dots and spaces") << "my.holiday. clip v2.mp4" << "my.holiday. clip v2" << tagged
                                         << "aac";
        QTest::newRow("unreadable") << "broken.mp4" << "broken" << "" << "";
    }

    void probe()
    {
        QFETCH(QString, name);
        QFETCH(QString, base);
        QFETCH(QString, video);
        QFETCH(QString, audio);
        Scratch product;
        // Whatever second the probe runs in, the plain thumbnail name is taken.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (qint64 s = now - 1; s < now + 20; ++s) {
            QFile old(product.temp() + QString::number(s) + ".png");
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        }
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        probe.enqueue(" " + media(name));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 20000);
        const QStringList info = ready.at(0).at(0).toStringList();
        const QStringList v = ready.at(0).at(1).toStringList(), a = ready.at(0).at(2).toStringList();
        const QFileInfo file(media(name));
        QCOMPARE(info.mid(0, 3), (QStringList{file.fileName(), " " + file.absolutePath() + "/", base}));
        if (!video.isEmpty() || !audio.isEmpty())
            QCOMPARE(info.at(3), QString("00:00:03"));
        QCOMPARE(a.value(0).section(' ', 0, 0), audio);
        const QString fields = v.value(0).section(' ', 0, 0) + "|" + v.value(1) + "|"
                               + v.value(2).section(' ', 0, 0);
        QCOMPARE(v.isEmpty() ? "" : fields, video);
        QCOMPARE(info.at(4).isEmpty(), video.isEmpty());
        if (video.isEmpty())
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
        Scratch product;
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        QSignalSpy missing(&probe, &FileInfoThread::converterMissing);
        {
            StandIn none({}, product.appData(), "missing");
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
        Scratch product;
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

    // The thumbnail seeks on the input, a twentieth in; and a path queued just
    // as the thread is on its way out is still probed.
    void toolCommandsAndALateQueue()
    {
        Scratch product;
        StandIn ffmpeg("probe", product.appData());
        FileInfoThread probe;
        int answers = 0;
        connect(&probe, &FileInfoThread::fileInfoReady, this, [&] {
            if (++answers < 25)
                probe.enqueue("/in/a b.wav ");
        });
        probe.enqueue("/in/a b.wav ");
        QTRY_COMPARE_WITH_TIMEOUT(answers, 25, 20000);
        QFile f(product.appData() + "/args");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList runs = QString::fromLocal8Bit(f.readAll()).split('\n');
        QCOMPARE(runs.at(0), QString("-i /in/a b.wav"));
        const QString thumbnail = "-ss 5 -i /in/a b.wav -y -f image2 -frames:v 1 -s 88x66 " + product.temp();
        QVERIFY2(runs.at(1).startsWith(thumbnail), qPrintable(runs.at(1)));
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
        row("-aspect never gets -vn", "-s 320x240 -aspect 4:3", "", "-s 320x240 -aspect 4:3");
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
        row("input height 0", "-s 320x240", "1280x0", "-s 320x240");
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

    void probeConvertAndStop()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        QSignalSpy info(&w, &MainWindow::fileInfoReady);
        QSignalSpy started(&w, &MainWindow::startConversion);
        QSignalSpy progress(&w, &MainWindow::conversionProgress);
        QSignalSpy complete(&w, &MainWindow::conversionComplete);
        QSignalSpy cancelled(&w, &MainWindow::conversionCancelled);
        w.getFileInfo(media("clip.mkv"));
        w.getFileInfo(media("both.mp4"));
        QTRY_COMPARE_WITH_TIMEOUT(info.count(), 2, 20000);
        QCOMPARE(info.at(0).at(0).toStringList().at(0), QString("clip.mkv"));
        QCOMPARE(info.at(1).at(0).toStringList().at(0), QString("both.mp4"));

        // The page passes the first token of the probe's frame size.
        const QString aspect = info.at(0).at(1).toStringList().at(2).section(' ', 0, 0);
        const QString out = product.appData() + "/clip";
        w.startNewConversion(media("clip.mkv"), "-s 320x240 -c:v libx264 -preset ultrafast -pix_fmt yuv420p",
                             aspect, out, "mp4");
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 1, 20000);
        QCOMPARE(started.at(0).at(0).toString(), QString("clip.mp4"));
        QCOMPARE(complete.at(0), (QVariantList{true, out + ".mp4", QString()}));
        QProcess probe;
        probe.start("ffmpeg", {"-hide_banner", "-i", out + ".mp4"});
        QVERIFY(probe.waitForFinished(20000));
        QVERIFY(probe.readAllStandardError().contains(", 320x180"));

        // A stop during a slow job removes its output from the temporary folder.
        const QString staging = product.temp() + "4242/";
        w.makeDir(staging);
        progress.clear();
        w.startNewConversion(media("both.mp4"), "-vf realtime -an", "160x120", staging + "both", "mkv");
        QTRY_VERIFY_WITH_TIMEOUT(progress.count() > 0, 5000);
        QVERIFY(QFileInfo::exists(staging + "both.mkv"));
        w.stopConversion();
        QTRY_COMPARE_WITH_TIMEOUT(cancelled.count(), 1, 3000);
        QVERIFY(QDir(staging).isEmpty());
        QTest::qWait(200);
        QCOMPARE(complete.count(), 1);
        QVERIFY(!w.runner()->isRunning());
        QVERIFY(prompts.boxes.isEmpty());
    }
};

QTEST_MAIN(TestMediaPipeline)
#include "tst_mediapipeline.moc"
