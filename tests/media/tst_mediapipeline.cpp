#include "app/mainwindow.h"
#include "media/conversionthread.h"
#include "mediasupport.h"
#include "support/testsupport.h"

#include <QSignalSpy>
#include <QtTest>

// The media pipeline through the real backend, as the page drives it.
class TestMediaPipeline : public QObject
{
    Q_OBJECT

    QTemporaryDir m_media;
    QString media(const QString &name) const { return m_media.filePath(name); }

    static QString frameSize(const QString &file)
    {
        QProcess probe;
        probe.start("ffmpeg", {"-hide_banner", "-i", file});
        probe.waitForFinished(20000);
        const QString text = QString::fromLatin1(probe.readAllStandardError());
        const QRegularExpressionMatch m = QRegularExpression(", (\\d+x\\d+)[ ,]").match(text);
        return m.captured(1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeMedia(media("wide.mkv"), "video"));
        QVERIFY(makeMedia(media("both.mp4"), "av", 4));
    }

    void probeAndConvert()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        QSignalSpy info(&w, &MainWindow::fileInfoReady);
        w.getFileInfo(media("wide.mkv"));
        w.getFileInfo(media("both.mp4"));
        QTRY_COMPARE_WITH_TIMEOUT(info.count(), 2, 20000);
        QCOMPARE(info.at(0).at(0).toStringList().at(0), QString("wide.mkv"));
        QCOMPARE(info.at(1).at(0).toStringList().at(0), QString("both.mp4"));

        // The page passes the first token of the probe's frame size.
        const QString aspect = info.at(0).at(1).toStringList().at(2).section(' ', 0, 0);
        QCOMPARE(aspect, QString("192x108"));
        QSignalSpy started(&w, &MainWindow::startConversion);
        QSignalSpy complete(&w, &MainWindow::conversionComplete);
        const QString out = product.appData() + "/wide";
        w.startNewConversion(media("wide.mkv"),
                             "-s 320x240 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac",
                             aspect, out, "mp4");
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 1, 20000);
        QCOMPARE(started.at(0).at(0).toString(), QString("wide.mp4"));
        QCOMPARE(complete.at(0), (QVariantList{true, out + ".mp4", QString()}));
        QCOMPARE(frameSize(out + ".mp4"), QString("320x180"));
        QVERIFY(prompts.boxes.isEmpty());
    }

    void stopRemovesATemporaryOutput_data()
    {
        QTest::addColumn<bool>("afterProgress");
        QTest::newRow("during the conversion") << true;
        QTest::newRow("before the output exists") << false;
    }

    void stopRemovesATemporaryOutput()
    {
        QFETCH(bool, afterProgress);
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        QSignalSpy progress(&w, &MainWindow::conversionProgress);
        QSignalSpy cancelled(&w, &MainWindow::conversionCancelled);
        QSignalSpy complete(&w, &MainWindow::conversionComplete);
        const QString staging = product.temp() + "4242/";
        w.makeDir(staging);
        w.startNewConversion(media("both.mp4"), "-vf realtime -c:v mpeg4 -c:a aac", "160x120",
                             staging + "both", "mkv");
        if (afterProgress) {
            QTRY_VERIFY_WITH_TIMEOUT(progress.count() > 0, 5000);
            QVERIFY(QFileInfo::exists(staging + "both.mkv"));
        }
        w.stopConversion();
        QTRY_COMPARE_WITH_TIMEOUT(cancelled.count(), 1, 3000);
        QVERIFY(QDir(staging).isEmpty());
        QTest::qWait(200);
        QCOMPARE(complete.count(), 0);
        QVERIFY(!w.runner()->isRunning());
    }
};

QTEST_MAIN(TestMediaPipeline)
#include "tst_mediapipeline.moc"
