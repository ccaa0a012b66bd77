// The real program ended from outside during a real conversion of three
// jobs, then started again: what survives, what is cleaned, what comes back.
#include "support/session.h"
#include "support/testsupport.h"

namespace {

const QString preset = "-vf realtime -c:v mpeg4 -c:a pcm_s16le";
const QStringList inputNames{"a.wav", "b.wav", "long.mkv"};

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestKilled : public QObject
{
    Q_OBJECT

    QTemporaryDir made;

private slots:
    void initTestCase()
    {
        const QString sine = "sine=duration=%1";
        for (const QStringList &args :
             {QStringList{"-f", "lavfi", "-i", sine.arg(1), made.filePath("a.wav")},
              QStringList{"-f", "lavfi", "-i", sine.arg(1), made.filePath("b.wav")},
              QStringList{"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=30", "-f", "lavfi", "-i",
                          sine.arg(30), "-c:v", "mpeg4", made.filePath("long.mkv")}})
            QCOMPARE(QProcess::execute("ffmpeg", QStringList{"-v", "error", "-y"} + args), 0);
    }

    // signal 0: the page closes the window and answers Yes; -1: no first run,
    // a saved list that is not one.
    void endings_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("offered");
        QTest::newRow("SIGTERM") << SIGTERM << true;
        QTest::newRow("SIGINT") << SIGINT << true;
        QTest::newRow("SIGHUP") << SIGHUP << true;
        QTest::newRow("SIGKILL") << SIGKILL << true;
        QTest::newRow("closed") << 0 << false;
        QTest::newRow("corrupt list") << -1 << false;
    }

    void endings()
    {
        QFETCH(int, signal);
        QFETCH(bool, offered);
        ScratchProduct product;
        const QString in = product.appData() + "/in/";
        QDir().mkpath(in);
        for (const QString &name : inputNames)
            QFile::copy(made.filePath(name), in + name);
        if (signal < 0) {
            QFile list(product.product() + "/jobs.json");
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write("{\"jobs\": [{\"fileName\": ");
        } else {
            Session first({in + "long.mkv", in + "a.wav", in + "b.wav"},
                          "mediaList.mediaListModel.setProperty(2, 'newFileName', 'renamed');"
                          "Object.assign(mainPage, {ffmpegArgs: '" + preset + "', outExt: 'avi', outputId: 9});"
                          "convertTab.convert();" + (signal ? "" : "mainwnd.close()"), "yes");
            if (signal) {
                QVERIFY(first.waitForChild("ffmpeg"));
                QTRY_VERIFY(QFileInfo(in + "long.avi").size() > 0);
                first.signal(signal);
            }
            QVERIFY(first.waitEnded());
            QTRY_COMPARE(first.survivors(), QList<int>());
            QCOMPARE(first.crashed(), signal == SIGKILL);
            if (signal == SIGKILL)
                QVERIFY(QFile::exists(in + "long.avi"));
            else
                QCOMPARE(first.exitCode(), signal ? 128 + signal : 0);
            if (signal != SIGKILL)
                QCOMPARE(entries(product.temp()), QStringList());
            if (signal && signal != SIGKILL)
                QCOMPARE(entries(in), inputNames);
        }

        Session next({}, "var m = mediaList.mediaListModel, rows = [];"
                         "for (var i = 0; i < m.count; ++i) rows.push(m.get(i).newFileName + ' ' + m.get(i).currentStatus);"
                         "var seen = rows.join(', ') + ' | ' + mainPage.ffmpegArgs + ' | ' + mainPage.outExt;"
                         "mainwnd.close(); return seen", "yes");
        QVERIFY(next.waitEnded());
        QCOMPARE(next.printed("box"),
                 offered ? QStringList{"Confirmation Required: MediaForgeStudio did not close normally last time, and 3 "
                                       "jobs were still waiting in the Media List.  Do you want to restore them?"}
                         : QStringList());
        QCOMPARE(next.printed("page"),
                 QStringList{offered ? "long wait, a wait, renamed wait | " + preset + " | avi" : " |  | "});
        QCOMPARE(entries(in), inputNames);
        QVERIFY(!QFile::exists(product.product() + "/jobs.json"));
        QFile log(product.product() + "/log.txt");
        QCOMPARE(log.open(QIODevice::ReadOnly) && log.readAll().contains("Ignored the saved job list"), signal < 0);
    }
};

QTEST_GUILESS_MAIN(TestKilled)
#include "tst_killed.moc"
