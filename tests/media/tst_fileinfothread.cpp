#include "media/fileinfothread.h"
#include "mediasupport.h"
#include "support/testsupport.h"

#include <QDateTime>
#include <QImageReader>
#include <QSignalSpy>
#include <QtTest>

// Probes real files made by ffmpeg, plus stand-ins for a missing or hanging tool.
class TestFileInfoThread : public QObject
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
        QVERIFY(QFile::copy(media("both.mp4"), media("noext")));
        QFile broken(media("broken.mp4"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("this is not a film\n");
    }

    void probe_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QStringList>("video");  // codec prefix, field 1, frame size; empty: none
        QTest::addColumn<QString>("audio");      // codec prefix; empty: no audio list
        QTest::newRow("audio only") << "Music/song.mp3" << "song" << QStringList{} << "mp3";
        QTest::newRow("video only") << "clip.mkv" << "clip" << QStringList{"h264", "yuv420p(progressive)", "192x108"} << "";
        // Colour tags put commas inside brackets; the frame size stays field 2.
        QTest::newRow("audio and video") << "both.mp4" << "both"
                                         << QStringList{"h264", "yuv420p(tv, bt709, progressive)", "160x120"} << "aac";
        QTest::newRow("dots and spaces") << "my.holiday. clip v2.mp4" << "my.holiday. clip v2"
                                         << QStringList{"h264", "yuv420p(tv, bt709, progressive)", "160x120"} << "aac";
        QTest::newRow("no dot") << "noext" << "noext" << QStringList{"h264", "yuv420p(tv, bt709, progressive)", "160x120"} << "aac";
        QTest::newRow("unreadable") << "broken.mp4" << "broken" << QStringList{} << "";
    }

    void probe()
    {
        QFETCH(QString, name);
        QFETCH(QString, base);
        QFETCH(QStringList, video);
        QFETCH(QString, audio);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        const QString path = media(name);
        probe.enqueue(" " + path);
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 20000);

        const QStringList info = ready.at(0).at(0).toStringList();
        const QStringList v = ready.at(0).at(1).toStringList();
        const QStringList a = ready.at(0).at(2).toStringList();
        QCOMPARE(info.size(), 5);
        QCOMPARE(info.at(0), QFileInfo(path).fileName());
        QCOMPARE(info.at(1), " " + QFileInfo(path).absolutePath() + "/");
        QCOMPARE(info.at(2), base);
        if (name != "broken.mp4")
            QCOMPARE(info.at(3), QString("00:00:02"));
        QCOMPARE(v.isEmpty(), video.isEmpty());
        QCOMPARE(a.isEmpty(), audio.isEmpty());
        if (!audio.isEmpty())
            QVERIFY2(a.at(0).startsWith(audio), qPrintable(a.join('|')));
        if (video.isEmpty()) {
            QCOMPARE(info.at(4), QString());
            return;
        }
        QVERIFY2(v.size() > 3 && v.at(0).startsWith(video.at(0)), qPrintable(v.join('|')));
        QCOMPARE(v.at(1), video.at(1));
        QCOMPARE(v.at(2).section(' ', 0, 0), video.at(2));
        QVERIFY(info.at(4).startsWith(product.temp()));
        QImageReader thumb(info.at(4));
        QCOMPARE(thumb.format(), QByteArray("png"));
        QCOMPARE(thumb.size(), QSize(88, 66));
    }

    void answersInOrderAndRepeatsTakenThumbnailNames()
    {
        ScratchProduct product;
        QDir().mkpath(product.temp());
        // Whatever second the probe runs in, its plain name is taken.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (qint64 s = now - 1; s < now + 20; ++s) {
            QFile old(product.temp() + QString::number(s) + ".png");
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        const QStringList names{"both.mp4", "Music/song.mp3", "clip.mkv"};
        for (const QString &n : names)
            probe.enqueue(media(n));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 3, 30000);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(ready.at(i).at(0).toStringList().at(0), QFileInfo(names.at(i)).fileName());
        for (int i : {0, 2}) {
            const QString thumb = QFileInfo(ready.at(i).at(0).toStringList().at(4)).completeBaseName();
            QVERIFY2(thumb.size() >= 20 && thumb == thumb.left(10).repeated(thumb.size() / 10),
                     qPrintable(thumb));
        }
        QFile old(product.temp() + QString::number(now) + ".png");
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }

    void missingFfmpegWarnsOnTheInterfaceThreadAndKeepsTheQueue()
    {
        ScratchProduct product;
        QDir().mkpath(product.temp());
        QTemporaryDir empty;
        QList<QThread *> threads;
        QStringList boxes;
        Prompts::setBoxHandler([&](const Prompts::Box &box) {
            threads << QThread::currentThread();
            boxes << box.title + "|" + box.text;
            return QMessageBox::Ok;
        });
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        {
            PathPrefix path(empty.path(), true);
            probe.enqueue(media("both.mp4"));
            QTRY_COMPARE(threads.size(), 1);
            QCOMPARE(threads.at(0), qApp->thread());
            QCOMPARE(boxes, QStringList{"Warning|FFMpeg could not be located or is not responding.\n\n"
                                        "Please try re-installing MediaForgeStudio."});
        }
        Prompts::setBoxHandler({});
        probe.enqueue(media("clip.mkv"));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, 20000);
        QCOMPARE(ready.at(0).at(0).toStringList().at(0), QString("both.mp4"));
        QCOMPARE(ready.at(1).at(0).toStringList().at(0), QString("clip.mkv"));
    }

    void hangingToolIsKilledAndTheProbeGoesOn()
    {
        ScratchProduct product;
        QDir().mkpath(product.temp());
        PathPrefix path(testData("stand-ins/scripted"));
        const QString pidFile = product.appData() + "/ffmpeg.pid";
        qputenv("MFS_FAKE_MODE", "hang");
        qputenv("MFS_FAKE_PIDFILE", pidFile.toLocal8Bit());
        FileInfoThread probe;
        probe.setToolWait(300);
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        probe.enqueue(media("both.mp4"));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 5000);
        QCOMPARE(ready.at(0).at(0).toStringList(),
                 (QStringList{"both.mp4", m_media.path() + "/", "both", "", ""}));
        QVERIFY(!processAlive(readPid(pidFile)));

        // Closing doesn't sit out the full wait of a stuck tool.
        probe.setToolWait(FileInfoThread::defaultToolWaitMs);
        QFile::remove(pidFile);
        probe.enqueue(media("both.mp4"));
        QTRY_VERIFY(processAlive(readPid(pidFile)));
        QElapsedTimer clock;
        clock.start();
        probe.shutdown();
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY(!processAlive(readPid(pidFile)));
        qunsetenv("MFS_FAKE_MODE");
        qunsetenv("MFS_FAKE_PIDFILE");
    }

    void toolCommands_data()
    {
        QTest::addColumn<QByteArray>("duration");
        QTest::addColumn<QString>("seek");
        QTest::newRow("10 s: second 1") << QByteArray("00:00:10.00") << "1";
        QTest::newRow("100 s: second 5") << QByteArray("00:01:40.00") << "5";
    }

    void toolCommands()
    {
        QFETCH(QByteArray, duration);
        QFETCH(QString, seek);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        PathPrefix path(testData("stand-ins/scripted"));
        const QString args = product.appData() + "/args";
        qputenv("MFS_FAKE_MODE", "probe");
        qputenv("MFS_FAKE_DURATION", duration);
        qputenv("MFS_FAKE_ARGS", args.toLocal8Bit());
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        probe.enqueue("/in/a b.wav ");
        QTRY_COMPARE(ready.count(), 1);
        QFile f(args);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList runs = QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs.at(0), QString("-i /in/a b.wav"));
        QVERIFY2(runs.at(1).startsWith("-ss " + seek + " -i /in/a b.wav -y -f image2 -frames:v 1 -s 88x66 "
                                       + product.temp()),
                 qPrintable(runs.at(1)));
        for (const char *name : {"MFS_FAKE_MODE", "MFS_FAKE_DURATION", "MFS_FAKE_ARGS"})
            qunsetenv(name);
    }

    void pathQueuedAsTheThreadEndsIsProbed()
    {
        ScratchProduct product;
        QDir().mkpath(product.temp());
        PathPrefix path(testData("stand-ins/scripted"));
        qputenv("MFS_FAKE_MODE", "probe");
        FileInfoThread probe;
        int answers = 0;
        // Each answer queues the next path while the thread is on its way out.
        connect(&probe, &FileInfoThread::fileInfoReady, this, [&] {
            if (++answers < 25)
                probe.enqueue("/in/a.wav");
        });
        probe.enqueue("/in/a.wav");
        QTRY_COMPARE_WITH_TIMEOUT(answers, 25, 20000);
        qunsetenv("MFS_FAKE_MODE");
    }
};

QTEST_MAIN(TestFileInfoThread)
#include "tst_fileinfothread.moc"
