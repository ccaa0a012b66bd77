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
        // The one drive holds a DVD-Video of one title; its ripper crawls,
        // and the CD burner's stand-in takes 20 s a chunk.
        const QString mpg = made.filePath("t.mpg"), dvd = made.filePath("dvd");
        QCOMPARE(QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=s=720x576:r=25:d=2",
                                              "-target", "pal-dvd", mpg}), 0);
        qputenv("VIDEO_FORMAT", "PAL");
        QCOMPARE(QProcess::execute("dvdauthor", {"-o", dvd, "-t", mpg}), 0);
        QCOMPARE(QProcess::execute("dvdauthor", {"-o", dvd, "-T"}), 0);
        qputenv("MFS_SUBJECT_DRIVES", QFile::encodeName(dvd));
        qputenv("MFS_REAL_RIPPER", MFS_TEST_BIN "/ripper");
        qputenv("MFS_WRITE_SHIM", MFS_WRITE_SHIM);
        qputenv("MFS_SLOW_WRITES", "10");
        qputenv("MFS_FAKE_DIR", QFile::encodeName(made.path()));
        qputenv("MFS_FAKE_PAUSES", "50");
    }

    // A first run does `script` (IN/ and TEMP/ stand for its input and
    // temporary folders, * for the newest folder in it), and its process
    // group is sent `signal` once a child called `child` works and `output`
    // grows; 0: the script closes the window itself; -1: there is no first
    // run but a saved list that is not one. A run whose child is ffmpeg
    // starts with the three files. `restored`: the rows the next start
    // brings back, when it offers them.
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
                                "jobs.simultaneous = 1; convertTab.convert();";
        for (auto [name, signal] : {std::pair{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}})
            QTest::newRow(name) << convert << "ffmpeg" << "IN/long.avi" << signal << "long wait, a wait, renamed wait";
        QTest::newRow("SIGKILL") << convert << "ffmpeg" << "IN/long.avi" << SIGKILL
                                 << "long wait, a wait, renamed wait, track01 wait";
        QTest::newRow("closed") << convert + "mainwnd.close()" << "ffmpeg" << "" << 0 << "";
        QTest::newRow("corrupt list") << "" << "" << "" << -1 << "";
        // A rip of the DVD's title; an audio-CD burn of the CD row.
        const QString rip = "mainwnd.selectDvd()", burn = "mediaList.addFile(['TEMP/1371000000/track01.wav'], 'cd');"
            "Object.assign(mainPage, {ffmpegArgs: '" + preset + "', outExt: 'wav', formatId: 36});"
            "mainPage.startNextConversion('/dev/sr99')";
        for (auto [name, signal] : {std::pair{"SIGTERM", SIGTERM}, {"SIGKILL", SIGKILL}}) {
            QTest::addRow("rip, %s", name) << rip << "ripper" << "TEMP/*/DVD_Title_1.vob" << signal << "";
            QTest::addRow("burn, %s", name) << burn << "cdrskin" << "TEMP/log.txt" << signal
                                            << (signal == SIGKILL ? "Burning Phase wait" : "");
        }
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
        PathPrefix burners(testData("stand-ins/burners")), crawling(testData("stand-ins/crawling"));
        const auto place = [&](QString text) {
            const QStringList folders = QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
            return text.replace("IN/", in).replace("TEMP/", temp).replace("*", folders.value(folders.size() - 1));
        };
        QFile saved(product.product() + "/jobs.json");
        if (signal < 0 && saved.open(QIODevice::WriteOnly))
            saved.write("{\"jobs\": [{\"fileName\": ");
        if (signal >= 0) {
            const QStringList files{in + "long.mkv", in + "a.wav", in + "b.wav"};
            Session first(child == "ffmpeg" ? files : QStringList(), place(script), "yes");
            if (signal) {
                QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(place(output)).size() > 0, 20000);
                QTRY_VERIFY(!Session::descendants(first.process.processId(), child).isEmpty());
                // Never kill(0): a program that has ended has no id, and 0 is
                // this test's own process group, ctest with it.
                QVERIFY(first.process.state() == QProcess::Running && first.process.processId() > 0);
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

        // A killed command line's staging folder goes at the next start.
        const QString orphan = temp + ".burn-" + QString(readFile("/proc/sys/kernel/pid_max")).trimmed() + "-1-aaaaaa";
        QVERIFY(writeFile(orphan + "/a.wav"));
        Session next({}, "var m = mediaList.mediaListModel, rows = [];"
                         "for (var i = 0; i < m.count; ++i) rows.push(m.get(i).newFileName + ' ' + m.get(i).currentStatus);"
                         "var seen = rows.join(', ') + ' | ' + mainPage.ffmpegArgs;"
                         "mainwnd.close(); return seen", "yes");
        QVERIFY(next.process.waitForFinished(20000));
        const int jobs = restored.count(" wait");
        QCOMPARE(next.printed("box"), !jobs ? QStringList() : QStringList{QString(
            "Confirmation Required: MediaForgeStudio did not close normally last time, and %1 still waiting in the "
            "Media List.  Do you want to restore %2?").arg(jobs == 1 ? "1 job was" : QString("%1 jobs were").arg(jobs),
                                                           jobs == 1 ? "it" : "them")});
        QCOMPARE(next.printed("page"), QStringList{restored.isEmpty() ? " | " : restored + " | " + preset});
        QVERIFY(!saved.exists() && !QFile::exists(place(output)) && !QFile::exists(orphan));
        QFile log(product.product() + "/log.txt");
        QCOMPARE(log.open(QIODevice::ReadOnly) && log.readAll().contains("Ignored the saved job list"), signal < 0);
    }
};

QTEST_GUILESS_MAIN(TestKilled)
#include "tst_killed.moc"
