// The real program ended from outside while at work, then started again:
// what survives, what is cleaned, what comes back.
#include "support/session.h"
#include "support/testsupport.h"

class TestKilled : public QObject
{
    Q_OBJECT

    QTemporaryDir made;
    const QStringList inputs{"a.wav", "b.wav", "long.mkv"};
    const QString preset = "-vf realtime -c:v mpeg4 -c:a pcm_s16le";

private slots:
    void initTestCase()
    {
        const QStringList sources{"sine=d=1", "sine=d=1", "testsrc=s=160x120:r=10:d=30"};
        for (int i = 0; i < inputs.size(); ++i)
            QCOMPARE(QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", sources[i], "-f", "lavfi", "-i",
                                                  "sine=d=30", "-shortest", made.filePath(inputs[i])}), 0);
    }

    // A first run does `script` (IN/ and TEMP/ stand for its input and
    // temporary folders), and its process group is sent `signal` once a
    // child called `child` works and `output` grows; 0: the script closes the
    // window itself; -1: there is no first run but a saved list that is not
    // one. `restored`: the rows the next start brings back, when it offers
    // them.
    void endings_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("child");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("restored");
        // Three files and a CD row whose track lies in the temporary folder.
        const QString convert = "mediaList.addFile(['TEMP/1371000000/track01.wav'], 'cd');"
                                "mediaList.mediaListModel.setProperty(2, 'newFileName', 'renamed');"
                                "Object.assign(mainPage, {ffmpegArgs: '" + preset + "', outExt: 'avi'});"
                                "convertTab.convert();";
        for (auto [name, signal] : {std::pair{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}})
            QTest::newRow(name) << convert << "ffmpeg" << "IN/long.avi" << signal << "long wait, a wait, renamed wait";
        QTest::newRow("SIGKILL") << convert << "ffmpeg" << "IN/long.avi" << SIGKILL
                                 << "long wait, a wait, renamed wait, track01 wait";
        QTest::newRow("closed") << convert + "mainwnd.close()" << "" << "" << 0 << "";
        QTest::newRow("corrupt list") << "" << "" << "" << -1 << "";
    }

    void endings()
    {
        QFETCH(QString, script);
        QFETCH(QString, child);
        QFETCH(QString, output);
        QFETCH(int, signal);
        QFETCH(QString, restored);
        ScratchProduct product;
        const QString in = product.appData() + "/in/", temp = product.temp();
        QDir().mkpath(in), QDir().mkpath(temp + "1371000000");
        for (const QString &name : inputs)
            QFile::copy(made.filePath(name), in + name);
        QFile::copy(in + "a.wav", temp + "1371000000/track01.wav");
        const auto place = [&](QString text) { return text.replace("IN/", in).replace("TEMP/", temp); };
        QFile saved(product.product() + "/jobs.json");
        if (signal < 0 && saved.open(QIODevice::WriteOnly))
            saved.write("{\"jobs\": [{\"fileName\": ");
        if (signal >= 0) {
            Session first({in + "long.mkv", in + "a.wav", in + "b.wav"}, place(script), "yes");
            if (signal) {
                QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(place(output)).size() > 0, 20000);
                QVERIFY(!Session::descendants(first.process.processId(), child).isEmpty());
                ::kill(-first.process.processId(), signal);
            }
            QVERIFY(first.process.waitForFinished(20000));
            QTRY_COMPARE(Session::descendants(::getpid()), QList<int>());
            QCOMPARE(first.process.exitStatus() == QProcess::CrashExit, signal == SIGKILL);
            QCOMPARE(first.process.exitCode(), signal == SIGKILL ? SIGKILL : signal ? 128 + signal : 0);
            // A kill leaves the temporary folder and the half-written output.
            if (signal) {
                QCOMPARE(QDir(temp).isEmpty(), signal != SIGKILL);
                QCOMPARE(QFile::exists(place(output)), signal == SIGKILL);
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
        QVERIFY(!saved.exists() && !QFile::exists(place(output)));
        QFile log(product.product() + "/log.txt");
        QCOMPARE(log.open(QIODevice::ReadOnly) && log.readAll().contains("Ignored the saved job list"), signal < 0);
    }
};

QTEST_GUILESS_MAIN(TestKilled)
#include "tst_killed.moc"
