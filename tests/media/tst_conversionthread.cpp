#include "media/conversionthread.h"
#include "mediasupport.h"

#include <QtTest>

namespace {

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

private slots:
    void initTestCase()
    {
        QVERIFY(makeMedia(media("clip.mp4"), "av"));
    }

    // Real ffmpeg: a free name beside the user's files, progress, the last
    // error line, and the log.
    void realConverter_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("error");
        // The realtime filter makes three seconds of input take three seconds.
        QTest::newRow("progress") << QStringList{} << "-vf realtime -c:v mpeg4 -an" << "out.mkv" << "";
        QTest::newRow("name taken twice") << QStringList{"out.mkv", "out (New).mkv"} << "-c:v mpeg4"
                                          << "out (New)(2).mkv" << "";
        QTest::newRow("failure") << QStringList{} << "-c:v no_such_codec" << "out.mkv"
                                 << "Unknown encoder 'no_such_codec'";
    }

    void realConverter()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, args);
        QFETCH(QString, chosen);
        QFETCH(QString, error);
        Scratch product;
        const QString dir = product.appData() + "/";
        for (const QString &name : existing)
            QVERIFY(QFile(dir + name).open(QIODevice::WriteOnly));
        Runner r;
        r.startJob(" " + media("clip.mp4") + " ", args.split(' '), dir + "out ", "mkv");
        QTRY_COMPARE_WITH_TIMEOUT(r.events.size(), 2, 20000);
        const QString complete = QString("complete %1 %2|%3").arg(error.isEmpty()).arg(dir + chosen, error);
        QCOMPARE(r.events, (QStringList{"start " + chosen, complete}));
        const QStringList log = logLines(product);
        QCOMPARE(log.first(), "Starting conversion: ffmpeg -i \"" + media("clip.mp4") + "\" " + args + " \""
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

    // Timing faults, with a stand-in for ffmpeg. Steps: "a" or "b" hands over
    // a job, "running" waits for the converter, "go" lets the "waitgo" one end.
    void standIn_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");  // the signals; %1 is the output folder
        QTest::addColumn<QList<int>>("progress");
        auto row = [](const char *name, const char *mode, const char *steps, const char *expected,
                      const QList<int> &progress = {}) {
            QTest::newRow(name) << QByteArray(mode) << QString(steps) << QString(expected) << progress;
        };
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
        QFETCH(QByteArray, mode);
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        QFETCH(QList<int>, progress);
        Scratch product;
        const QString dir = product.appData();
        StandIn ffmpeg(mode, dir, mode == "missing" || mode == "unstartable" ? mode : "scripted");
        Runner r;
        r.setSilenceLimit(1500);
        for (const QString &step : steps.split(' ')) {
            if (step == "running")
                QTRY_VERIFY(ffmpeg.alive());
            else if (step == "stop")
                r.requestStop();
            else if (step == "go")
                QVERIFY(QFile(dir + "/go").open(QIODevice::WriteOnly));
            else
                r.startJob("/in/" + step + ".wav", {"-vn"}, dir + "/" + step, "wav");
        }
        // A stop ends the converter within about a second.
        expected = expected.arg(dir);
        const auto done = [&] {
            return r.events.size() == expected.count('\n') + 1 && r.events.join('\n').startsWith(expected);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(done(), qPrintable(r.events.join('\n')),
                                  steps.contains("stop") ? 2000 : 10000);
        QTest::qWait(300);
        QVERIFY2(done(), qPrintable(r.events.join('\n')));
        QCOMPARE(r.progress, progress);
        QVERIFY(!ffmpeg.alive());
        // A stopped run is not logged as finished.
        QCOMPARE(logLines(product).filter("Conversion finished").size(), int(expected.count("complete")));
    }
};

QTEST_MAIN(TestConversionThread)
#include "tst_conversionthread.moc"
