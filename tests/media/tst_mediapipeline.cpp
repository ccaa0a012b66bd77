#include "app/mainwindow.h"
#include "media/conversionthread.h"
#include "mediasupport.h"

#include <QSignalSpy>
#include <QtTest>

// The media pipeline through the real backend, as the page drives it.
class TestMediaPipeline : public QObject
{
    Q_OBJECT

    QTemporaryDir m_media;
    QString media(const QString &name) const { return m_media.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(makeMedia(media("clip.mkv"), "video"));
        QVERIFY(makeMedia(media("both.mp4"), "av"));
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
