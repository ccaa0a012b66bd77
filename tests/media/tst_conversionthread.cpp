#include "media/conversionthread.h"
#include "mediasupport.h"
#include "support/testsupport.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// The signals of one runner, in the order they came.
struct Recorder {
    explicit Recorder(ConversionThread *r)
    {
        QObject::connect(r, &ConversionThread::startConversion, &ctx,
                         [this](const QString &name) { events << "start " + name; });
        QObject::connect(r, &ConversionThread::conversionProgress, &ctx,
                         [this](int t) { progress << t; });
        QObject::connect(r, &ConversionThread::conversionComplete, &ctx,
                         [this](bool ok, const QString &out, const QString &msg) {
                             events << QString("complete %1 %2|%3").arg(ok).arg(out, msg);
                         });
        QObject::connect(r, &ConversionThread::conversionCancelled, &ctx,
                         [this] { events << "cancelled"; });
    }
    bool ended() const
    {
        return !events.isEmpty()
               && (events.last().startsWith("complete") || events.last() == "cancelled");
    }
    QObject ctx;
    QStringList events;
    QList<int> progress;
};

QStringList logLines(const ScratchProduct &product)
{
    QFile f(product.temp() + "log.txt");
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    return QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestConversionThread : public QObject
{
    Q_OBJECT

    QTemporaryDir m_media;
    QString media(const QString &name) const { return m_media.filePath(name); }

    void setFake(const QByteArray &mode, const QString &pidFile = {})
    {
        qputenv("MFS_FAKE_MODE", mode);
        qputenv("MFS_FAKE_PIDFILE", pidFile.toLocal8Bit());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeMedia(media("tone.wav"), "audio"));
        QVERIFY(makeMedia(media("clip.mp4"), "av", 3));
    }

    void cleanup()
    {
        qunsetenv("MFS_FAKE_MODE");
        qunsetenv("MFS_FAKE_PIDFILE");
        qunsetenv("MFS_GO");
    }

    void outputNaming_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("free") << QStringList{} << "song.mp3";
        QTest::newRow("taken") << QStringList{"song.mp3"} << "song (New).mp3";
        QTest::newRow("taken twice") << QStringList{"song.mp3", "song (New).mp3"} << "song (New)(2).mp3";
        QTest::newRow("taken three times") << QStringList{"song.mp3", "song (New).mp3", "song (New)(2).mp3"}
                                           << "song (New)(3).mp3";
    }

    void outputNaming()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, chosen);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        const QString dir = product.appData() + "/Out/";
        QDir().mkpath(dir);
        for (const QString &name : existing) {
            QFile f(dir + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("mine");
        }
        ConversionThread runner;
        Recorder rec(&runner);
        runner.setParameters(" " + media("tone.wav") + " ", {"-vn", " -c:a ", "libmp3lame"},
                             dir + "song ", "mp3");
        runner.startRun();
        QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 20000);
        QCOMPARE(rec.events, (QStringList{"start " + chosen, "complete 1 " + dir + chosen + "|"}));
        QCOMPARE(runner.outputPath(), dir + chosen);
        for (const QString &name : existing) {
            QFile f(dir + name);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("mine"));
        }
        QVERIFY(!logLines(product).isEmpty());
        QCOMPARE(logLines(product).first(),
                 "Starting conversion: ffmpeg -i \"" + media("tone.wav") + "\" -vn -c:a libmp3lame \""
                     + dir + chosen + "\"");
        QCOMPARE(logLines(product).last(), QString("Conversion finished: quitOK=true"));
    }

    void progressOfARealConversion()
    {
        ScratchProduct product;
        QDir().mkpath(product.temp());
        ConversionThread runner;
        Recorder rec(&runner);
        // The realtime filter makes three seconds of input take three seconds.
        runner.setParameters(media("clip.mp4"), {"-vf", "realtime", "-c:v", "mpeg4", "-an"},
                             product.appData() + "/slow", "mkv");
        runner.startRun();
        QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 20000);
        QVERIFY2(rec.events.last().startsWith("complete 1"), qPrintable(rec.events.join('\n')));
        QVERIFY2(rec.progress.size() >= 2, qPrintable(QString::number(rec.progress.size())));
        QVERIFY(std::is_sorted(rec.progress.begin(), rec.progress.end()));
        QVERIFY(rec.progress.last() >= 1 && rec.progress.last() <= 3);
    }

    void realFailureReportsItsLastLine()
    {
        ScratchProduct product;
        QDir().mkpath(product.temp());
        ConversionThread runner;
        Recorder rec(&runner);
        const QString out = product.appData() + "/bad.mkv";
        runner.setParameters(media("clip.mp4"), {"-c:v", "no_such_codec"}, product.appData() + "/bad",
                             "mkv");
        runner.startRun();
        QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 20000);
        QCOMPARE(rec.events.last(), "complete 0 " + out + "|Unknown encoder 'no_such_codec'");
        const QStringList log = logLines(product);
        const int end = log.indexOf("Conversion finished: quitOK=false");
        QVERIFY(end > 0);
        QCOMPARE(log.last(), QString("Unknown encoder 'no_such_codec'"));
        QVERIFY(log.mid(end + 1).join('\n').contains("Input #0"));
    }

    void scriptedConverter_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("expected");  // last signal; %1 stands for the output path
        QTest::addColumn<QList<int>>("progress");
        QTest::newRow("crash") << QByteArray("crash") << "complete 0 %1|Error while decoding stream #0:0"
                               << QList<int>{1};
        QTest::newRow("record split across reads") << QByteArray("split") << "complete 1 %1|"
                                                   << QList<int>{7};
        QTest::newRow("silent but writing") << QByteArray("grow") << "complete 1 %1|" << QList<int>{};
        QTest::newRow("hung") << QByteArray("hang") << "complete 0 %1|FFmpeg stopped responding and was ended."
                              << QList<int>{};
    }

    void scriptedConverter()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QString, expected);
        QFETCH(QList<int>, progress);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        PathPrefix path(testData("stand-ins/scripted"));
        const QString pidFile = product.appData() + "/ffmpeg.pid";
        setFake(mode, pidFile);
        ConversionThread runner;
        runner.setSilenceLimit(1500);
        Recorder rec(&runner);
        runner.setParameters("/in/a.wav", {"-vn"}, product.appData() + "/a", "wav");
        runner.startRun();
        QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 10000);
        QCOMPARE(rec.events, (QStringList{"start a.wav", expected.arg(product.appData() + "/a.wav")}));
        QCOMPARE(rec.progress, progress);
        QVERIFY(!processAlive(readPid(pidFile)));
    }

    void converterThatNeverStarts_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "" << "FFmpeg could not be found. Please install ffmpeg.";
        QTest::newRow("not executable") << "noexec" << "FFmpeg could not be found. Please install ffmpeg.";
        QTest::newRow("refused") << "unstartable" << "FFmpeg could not be started: ";
    }

    void converterThatNeverStarts()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        PathPrefix path(folder.isEmpty() ? product.appData() : testData("stand-ins/" + folder), true);
        ConversionThread runner;
        Recorder rec(&runner);
        runner.setParameters("/in/a.wav", {"-vn"}, product.appData() + "/a", "wav");
        runner.startRun();
        QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 2000);
        QCOMPARE(rec.events.size(), 1);
        QVERIFY2(rec.events.at(0).startsWith("complete 0 " + product.appData() + "/a.wav|" + message),
                 qPrintable(rec.events.at(0)));
        QVERIFY(runner.wait(1000));
    }

    void stop_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("while running") << "running";
        QTest::newRow("after the converter ended, before the runner noticed") << "ended";
        QTest::newRow("right after the start") << "start";
    }

    void stop()
    {
        QFETCH(QString, when);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        PathPrefix path(testData("stand-ins/scripted"));
        const QString pidFile = product.appData() + "/ffmpeg.pid";
        const QString go = product.appData() + "/go";
        setFake("waitgo", pidFile);
        qputenv("MFS_GO", go.toLocal8Bit());
        ConversionThread runner;
        Recorder rec(&runner);
        runner.setParameters("/in/a.wav", {"-vn"}, product.appData() + "/a", "wav");
        runner.startRun();
        if (when != "start")
            QTRY_VERIFY(processAlive(readPid(pidFile)));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!runner.requestStop());
        // Setting the flag wakes nobody: the converter's end does.
        if (when == "ended")
            QVERIFY(QFile(go).open(QIODevice::WriteOnly));
        QTRY_VERIFY_WITH_TIMEOUT(rec.ended(), 3000);
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(rec.events.last(), QString("cancelled"));
        QVERIFY(!rec.events.join(' ').contains("complete"));
        QVERIFY(!processAlive(readPid(pidFile)));
        QVERIFY(!logLines(product).join('\n').contains("Conversion finished"));
    }

    void jobWaitsForThePreviousRun_data()
    {
        QTest::addColumn<bool>("stopIt");
        QTest::newRow("started when free") << false;
        QTest::newRow("stopped while waiting") << true;
    }

    void jobWaitsForThePreviousRun()
    {
        QFETCH(bool, stopIt);
        ScratchProduct product;
        QDir().mkpath(product.temp());
        PathPrefix path(testData("stand-ins/scripted"));
        const QString go = product.appData() + "/go";
        setFake("waitgo");
        qputenv("MFS_GO", go.toLocal8Bit());
        ConversionThread runner;
        Recorder rec(&runner);
        runner.startJob("/in/a.wav", {"-vn"}, product.appData() + "/first", "wav");
        QTRY_COMPARE(rec.events, QStringList{"start first.wav"});
        runner.startJob("/in/b.wav", {"-vn"}, product.appData() + "/second", "wav");
        if (stopIt) {
            QVERIFY(runner.requestStop());
            QTRY_COMPARE(rec.events.size(), 2);
        }
        QVERIFY(QFile(go).open(QIODevice::WriteOnly));
        const QString done = "complete 1 " + product.appData();
        QStringList expected{"start first.wav", done + "/first.wav|"};
        if (stopIt)
            expected.insert(1, "cancelled");
        else
            expected << "start second.wav" << done + "/second.wav|";
        QTRY_COMPARE_WITH_TIMEOUT(rec.events, expected, 5000);
        QTest::qWait(300);
        QCOMPARE(rec.events, expected);
    }

    void progressSeconds_data()
    {
        QTest::addColumn<QString>("records");
        QTest::addColumn<int>("seconds");
        QTest::newRow("first record") << "frame=1 time=00:01:23.45 x\rframe=2 time=00:01:24.00 x\r" << 83;
        QTest::newRow("not available") << "time=N/A bitrate=N/A" << 0;
        QTest::newRow("negative") << "time=-00:00:00.04" << 0;
        QTest::newRow("none") << "Stream mapping:\n" << -1;
    }

    void progressSeconds()
    {
        QFETCH(QString, records);
        QFETCH(int, seconds);
        QCOMPARE(ConversionThread::progressSeconds(records), seconds);
    }
};

QTEST_MAIN(TestConversionThread)
#include "tst_conversionthread.moc"
