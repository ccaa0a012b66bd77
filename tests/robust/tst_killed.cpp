// The real program ended from outside while converting the first of three
// jobs, with a CD row waiting, then started again: what survives, what is
// cleaned, what comes back.
#include "support/session.h"
#include "support/testsupport.h"

class TestKilled : public QObject
{
    Q_OBJECT

    QTemporaryDir made;
    const QStringList inputs{"a.wav", "b.wav", "long.mkv"};
    const QString preset = "-vf realtime -c:v mpeg4 -c:a pcm_s16le";

    static QStringList entries(const QString &folder) { return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

private slots:
    void initTestCase()
    {
        const QStringList sources{"sine=d=1", "sine=d=1", "testsrc=s=160x120:r=10:d=30"};
        for (int i = 0; i < inputs.size(); ++i)
            QCOMPARE(QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", sources[i], "-f", "lavfi", "-i",
                                                  "sine=d=30", "-shortest", made.filePath(inputs[i])}), 0);
    }

    // Signal 0: the page closes the window, answering Yes; -1: no first run,
    // and a saved list that is not one. The rows the next start brings back,
    // when it offers them.
    void endings_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("restored");
        for (auto [name, signal] : {std::pair{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}})
            QTest::newRow(name) << signal << "long wait, a wait, renamed wait";
        // The CD row's track is still in the temporary folder.
        QTest::newRow("SIGKILL") << SIGKILL << "long wait, a wait, renamed wait, track01 wait";
        QTest::newRow("closed") << 0 << "";
        QTest::newRow("corrupt list") << -1 << "";
    }

    void endings()
    {
        QFETCH(int, signal);
        QFETCH(QString, restored);
        ScratchProduct product;
        const QString in = product.appData() + "/in/", track = product.temp() + "1371000000/track01.wav";
        QDir().mkpath(in);
        QDir().mkpath(QFileInfo(track).path());
        for (const QString &name : inputs)
            QFile::copy(made.filePath(name), in + name);
        QFile::copy(in + "a.wav", track);
        QFile saved(product.product() + "/jobs.json");
        if (signal < 0 && saved.open(QIODevice::WriteOnly))
            saved.write("{\"jobs\": [{\"fileName\": ");
        if (signal >= 0) {
            Session first({in + "long.mkv", in + "a.wav", in + "b.wav"},
                          "mediaList.addFile(['" + track + "'], 'cd');"
                          "mediaList.mediaListModel.setProperty(2, 'newFileName', 'renamed');"
                          "Object.assign(mainPage, {ffmpegArgs: '" + preset + "', outExt: 'avi', outputId: 9});"
                          "convertTab.convert();" + (signal ? "" : "mainwnd.close()"), "yes");
            if (signal) {
                QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(in + "long.avi").size() > 0, 20000);
                QVERIFY(!Session::descendants(first.process.processId(), "ffmpeg").isEmpty());
                ::kill(first.process.processId(), signal);
            }
            QVERIFY(first.process.waitForFinished(20000));
            QTRY_COMPARE(Session::descendants(::getpid()), QList<int>());
            QCOMPARE(first.process.exitStatus() == QProcess::CrashExit, signal == SIGKILL);
            QCOMPARE(first.process.exitCode(), signal == SIGKILL ? SIGKILL : signal ? 128 + signal : 0);
            // A kill leaves the temporary folder and the half-written output.
            if (signal) {
                QCOMPARE(entries(product.temp()).isEmpty(), signal != SIGKILL);
                QCOMPARE(entries(in).size(), inputs.size() + (signal == SIGKILL));
            }
        }

        Session next({}, "var m = mediaList.mediaListModel, rows = [];"
                         "for (var i = 0; i < m.count; ++i) rows.push(m.get(i).newFileName + ' ' + m.get(i).currentStatus);"
                         "var seen = rows.join(', ') + ' | ' + mainPage.ffmpegArgs;"
                         "mainwnd.close(); return seen", "yes");
        QVERIFY(next.process.waitForFinished(20000));
        QCOMPARE(next.printed("box"), restored.isEmpty() ? QStringList() : QStringList{QString(
            "Confirmation Required: MediaForgeStudio did not close normally last time, and %1 jobs were still "
            "waiting in the Media List.  Do you want to restore them?").arg(restored.count(" wait"))});
        QCOMPARE(next.printed("page"), QStringList{restored.isEmpty() ? " | " : restored + " | " + preset});
        if (signal)
            QCOMPARE(entries(in), inputs);
        QVERIFY(!saved.exists());
        QFile log(product.product() + "/log.txt");
        QCOMPARE(log.open(QIODevice::ReadOnly) && log.readAll().contains("Ignored the saved job list"), signal < 0);
    }
};

QTEST_GUILESS_MAIN(TestKilled)
#include "tst_killed.moc"
