#include "media/fileinfothread.h"
#include "mediasupport.h"

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
        QFile broken(media("broken.mp4"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("this is not a film\n") > 0);
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

    void missingFfmpegWarnsOnTheInterfaceThreadAndKeepsTheQueue()
    {
        Scratch product;
        QStringList boxes;
        Prompts::setBoxHandler([&](const Prompts::Box &box) {
            boxes << (QThread::currentThread() == qApp->thread() ? "" : "off thread: ") + box.text;
            return QMessageBox::Ok;
        });
        FileInfoThread probe;
        QSignalSpy ready(&probe, &FileInfoThread::fileInfoReady);
        {
            StandIn none({}, product.appData(), "missing");
            probe.enqueue(media("both.mp4"));
            QTRY_COMPARE(boxes, QStringList{"FFMpeg could not be located or is not responding.\n\n"
                                            "Please try re-installing MediaForgeStudio."});
        }
        Prompts::setBoxHandler({});
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
};

QTEST_MAIN(TestFileInfoThread)
#include "tst_fileinfothread.moc"
