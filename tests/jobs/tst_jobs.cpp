// The job queue: where outputs go, the run's rules against an engine the
// test answers, and real runs of ffmpeg on short clips (several at once, a
// stop, a failure beside a success, a burn in list order).
#include "disc/cd/audiocd.h"
#include "disc/cd/riplog.h"
#include "jobs/jobstore.h"
#include "jobs/runcontroller.h"
#include "jobs/toolengine.h"
#include "support/heldengine.h"
#include "support/testsupport.h"

#include <QElapsedTimer>

namespace {

// Where a job goes: "name|source|folder" of the input, the chosen folder
// ("" for beside the input, "staging" for a burn).
struct Place { QString input, source, folder, stem; };

const QString wavArgs = "-vn -c:a pcm_s16le";
// Converts at the pace of playback, so a clip takes as long as it lasts.
const QString slowArgs = "-vn -af arealtime -c:a pcm_s16le";

QString status(const RunController &run)
{
    QStringList rows;
    for (const Job &job : run.list()->jobs())
        rows << job.status();
    return rows.join(' ');
}

} // namespace

class TestJobs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    OutputPlan::Places places() const { return {path("Music/"), path("Videos/"), path("temp/")}; }

    // A tone of `seconds` as a WAV file.
    bool tone(const QString &name, int seconds)
    {
        return lavfi(path(name), {QString("sine=frequency=440:sample_rate=44100:duration=%1").arg(seconds)},
                     {"-ac", "2"});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tone("a.wav", 2) && tone("b.wav", 2) && tone("long.wav", 3) && tone("short.wav", 1));
    }

    void outputStem_data()
    {
        QTest::addColumn<QList<Place>>("jobs");
        QTest::newRow("beside the input") << QList<Place>{{"/in/clip.mkv", "file", "", "/in/clip"}};
        QTest::newRow("chosen folder, with or without its separator")
            << QList<Place>{{"/in/a.mkv", "file", "/out/", "/out/a"}, {"/in/b.mkv", "cd", "/out", "/out/b"}};
        QTest::newRow("title to the videos folder") << QList<Place>{{"/rip/t1.vob", "dvd", "", "Videos/t1"}};
        QTest::newRow("staging") << QList<Place>{{"/rip/t1.vob", "dvd", "staging", "temp/42/t1"}};
        QTest::newRow("one rip, one album; the next rip, a new one")
            << QList<Place>{{"/t/1371000000/Track 1.wav", "cd", "", "Music/A/Track 1"},
                            {"/t/1371000000/Track 2.wav", "cd", "", "Music/A/Track 2"},
                            {"/t/1372000000/Track 1.wav", "cd", "", "Music/B/Track 1"}};
    }

    void outputStem()
    {
        QFETCH(QList<Place>, jobs);
        QTemporaryDir dir;
        OutputPlan plan({dir.filePath("Music/"), dir.filePath("Videos/"), dir.filePath("temp/")});
        QStringList albums;
        for (int n = 0; n < jobs.size(); ++n) {
            const Place &p = jobs.at(n);
            Job job;
            QVERIFY(sourceFromName(p.source, &job.source));
            job.origPathName = p.input.left(p.input.lastIndexOf('/') + 1);
            job.newFileName = baseName(p.input.mid(p.input.lastIndexOf('/') + 1));
            plan.setFolder(p.folder == "staging" ? QString() : p.folder);
            plan.setStaging(p.folder == "staging" ? "42" : QString());
            QString stem = plan.outputStem(job, QDateTime({2013, 6, 24}, {9, 5, n}));
            if (!albums.contains(plan.desTemp) && !plan.desTemp.isEmpty())
                albums << plan.desTemp;
            stem.replace(dir.path() + "/", "").replace("Album 2013-6-24 9-5-0", "A").replace("Album 2013-6-24 9-5-2", "B");
            QCOMPARE(stem, p.stem);
        }
        for (const QString &album : albums)
            QVERIFY2(QFileInfo(dir.filePath("Music/" + album)).isDir(), qPrintable(album));
        QCOMPARE(QFileInfo(dir.filePath("Videos")).isDir(), jobs.first().stem.startsWith("Videos"));
    }

    // The Convert tab's line: the rows still to convert, or all once done.
    void outputDescription_data()
    {
        QTest::addColumn<QStringList>("rows"); // source:state, a burn's drive after "@"
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("burnKind");
        QTest::addColumn<QString>("said");
        QTest::newRow("no rows") << QStringList{} << "" << "" << "";
        QTest::newRow("beside") << QStringList{"file:wait"} << "" << "" << "Output: beside each input";
        QTest::newRow("chosen folder") << QStringList{"cd:wait"} << "/out/" << "" << "Output: /out";
        QTest::newRow("kinds in order, finished ones apart")
            << QStringList{"dvd:wait", "file:done", "cd:wait"} << "" << ""
            << "Output: Music › Album …, Videos";
        QTest::newRow("all done: where they went") << QStringList{"dvd:done"} << "" << "" << "Output: Videos";
        QTest::newRow("burn not asked yet") << QStringList{"file:wait"} << "" << "dvd" << "Output: a DVD or an image file, chosen at Convert";
        QTest::newRow("image") << QStringList{"file:done", "burn_dvd@/m/Trip.iso:wait"} << "" << "dvd"
                               << "Output: image file Trip.iso";
        QTest::newRow("drive") << QStringList{"burn_cd@/dev/sr0:done"} << "" << "cd" << "Output: disc in /dev/sr0";
    }

    void outputDescription()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, folder);
        QFETCH(QString, burnKind);
        QList<Job> jobs;
        for (const QString &row : rows) {
            Job job;
            QVERIFY(sourceFromName(row.section(':', 0, 0).section('@', 0, 0), &job.source));
            job.fileName = row.section(':', 0, 0).section('@', 1);
            job.state = row.endsWith(":done") ? Job::State::Done : Job::State::Waiting;
            jobs << job;
        }
        QTEST(OutputPlan(places()).description(jobs, folder, burnKind), "said");
    }

    // A row's name for screen readers: file, duration, status in words.
    void accessibleName_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("name");
        QTest::newRow("reading") << int(Job::State::Loading) << "city clip.mp4, reading";
        QTest::newRow("converting") << int(Job::State::Converting) << "city clip.mp4, 00:00:20, converting 45 %";
        QTest::newRow("failed") << int(Job::State::Failed) << "city clip.mp4, 00:00:20, failed";
    }

    void accessibleName()
    {
        QFETCH(int, state);
        Job job;
        job.fileName = "/in/city clip.mp4";
        job.state = Job::State(state);
        if (job.state != Job::State::Loading)
            job.takeProbe({"city clip.mp4", "/in/", "city clip", "00:00:20"}, {"h264"}, {});
        job.secondsDone = QTest::currentDataTag() == QByteArray("converting") ? 9 : 0;
        QTEST(JobList::accessibleName(job), "name");
    }

    // Answers land in their own rows, whatever order they come in; a file
    // without streams leaves the list with a word for the user.
    void probes()
    {
        HeldEngine engine;
        RunController run(&engine, places());
        QSignalSpy gone(&run, &RunController::noStreamsFound);
        QSignalSpy done(&run, &RunController::probesDone);
        run.addFiles({"/in/a.mkv", "/in/b.mkv", "/in/c.txt"});
        run.addDvd({"/rip/t.vob"}, "01:30:00");
        engine.answer("/in/b.mkv", "00:00:30");
        engine.answer("/in/c.txt", "", "", false);
        engine.answer("/rip/t.vob", "00:12:00", "");
        QCOMPARE(status(run), "wait wait wait");
        QVERIFY(run.list()->at(0).state == Job::State::Loading && done.isEmpty());
        QCOMPARE(gone.value(0), QVariantList({"c.txt", "/in/c.txt"}));
        engine.answer("/in/a.mkv", "00:01:00");
        QCOMPARE(done.size(), 1);
        // The title keeps its rip's length; a burn adds ten minutes.
        QCOMPARE(run.list()->at(2).duration, "01:30:00");
        QCOMPARE(run.overallDuration(), 60 + 30 + 5400);
    }

    // Rows convert in list order, as many at once as allowed; each reports
    // its own progress and time left, the run the overall share.
    void slotsAndProgress()
    {
        HeldEngine engine;
        RunController run(&engine, places());
        run.setChoice({{"ffmpegArgs", "-s 640x480 -vcodec mpeg4"}, {"outExt", "avi"}, {"outputSameFolder", true}});
        run.setSimultaneous(2);
        run.addFiles({"/in/a.mkv", "/in/b.mkv", "/in/c.mkv"});
        for (const char *p : {"/in/a.mkv", "/in/b.mkv", "/in/c.mkv"})
            engine.answer(p, "00:01:40", "1280x720");
        QVERIFY(run.start());
        QCOMPARE(engine.requests.filter("convert").size(), 2);
        QCOMPARE(engine.requests.last(), "convert 2 /in/b.mkv > /in/b.avi -s 640x360 -vcodec mpeg4");
        engine.start(1, "/in/a.avi");
        engine.progress(1, 50);
        QCOMPARE(status(run), "50% 0% wait");
        QCOMPARE(run.overallProgress(), 16);
        QCOMPARE(run.list()->at(0).newFileName, "a.avi");
        engine.finish(2, false, "/in/b.avi", "Unknown encoder");
        QCOMPARE(status(run), "50% error 0%");
        QCOMPARE(run.list()->at(1).errorMsg, "Unknown encoder");
        engine.finish(1, true, "/in/a.avi");
        engine.finish(3, true, "/in/c.avi");
        QVERIFY(!run.isRunning());
        QCOMPARE(status(run), "complete error complete");
        QCOMPARE(run.overallProgress(), 100);
        QVERIFY(!run.anyToConvert() && run.anyFinished());
        // A second run has nothing to do but ends at once.
        QSignalSpy ended(&run, &RunController::runFinished);
        QVERIFY(run.start());
        QCOMPARE(ended.size(), 1);
    }

    // Removing: a row above the running one goes at once; the running one
    // stops first, and a stop that comes too late still removes it. A
    // cancelled run puts its rows back as they were.
    void removeAndCancel()
    {
        HeldEngine engine;
        RunController run(&engine, places());
        run.setChoice({{"ffmpegArgs", wavArgs}, {"outExt", "wav"}});
        run.setSimultaneous(1);
        run.addFiles({"/in/a.wav", "/in/b.wav", "/in/c.wav"});
        for (const char *p : {"/in/a.wav", "/in/b.wav", "/in/c.wav"})
            engine.answer(p, "00:00:10", "");
        run.start();
        engine.finish(1, true, "/in/a (New).wav");
        run.remove(0);
        QCOMPARE(status(run), "0% wait");
        run.remove(0);
        QCOMPARE(status(run), "remove wait");
        QCOMPARE(engine.requests.last(), "stop 2");
        engine.finish(2, true, "/in/b.wav");
        QCOMPARE(status(run), "0%");
        QCOMPARE(engine.requests.last(), "convert 3 /in/c.wav > /in/c.wav " + wavArgs);
        engine.start(3, "/in/c (New).wav");
        run.cancel();
        QCOMPARE(status(run), "wait");
        QCOMPARE(run.list()->at(0).newFileName, "c");
        // The stopped converter's late report changes nothing.
        engine.stopped(3);
        QVERIFY(!run.isRunning());
        QCOMPARE(status(run), "wait");
    }

    // What a crash leaves comes back: waiting rows with their names, the
    // converting one as waiting, the burn with its staging folder.
    void savedAndRestored()
    {
        HeldEngine engine;
        RunController run(&engine, places());
        QVERIFY(QDir().mkpath(path("temp/77")));
        run.setChoice({{"ffmpegArgs", "-target pal-dvd"}, {"outExt", "mpg"}, {"formatId", 7}});
        run.addFiles({"/in/a.mkv", "/in/b.mkv"});
        engine.answer("/in/a.mkv");
        QVERIFY(run.start("/dev/sr0", "PAL 4:3"));
        QVariantList saved = run.savedJobs();
        QCOMPARE(saved.size(), 3);
        QCOMPARE(saved.at(0).toMap().value("running"), true);
        QCOMPARE(saved.at(1).toMap().value("loading"), true);
        QCOMPARE(saved.at(2).toMap().value("source"), "burn_dvd");

        HeldEngine again;
        RunController restored(&again, places());
        QVariantMap settings = run.settings();
        settings.insert("desTemp", "77");
        restored.restore(saved, settings);
        QCOMPARE(again.requests, QStringList{"probe /in/b.mkv"});
        QCOMPARE(status(restored), "wait wait wait");
        QVERIFY(restored.start());
        QCOMPARE(again.requests.last(), "convert 1 /in/a.mkv > " + path("temp/77/a") + ".mpg -target pal-dvd");
    }

    // A CD track's tags come from its rip's log, also after a restart: its
    // conversion is tagged and lands in the disc's album folder; a disc
    // without CD-TEXT gets no tags and a dated album. The log goes along.
    void cdTags_data()
    {
        addRows<bool>("named", {{"CD-TEXT", true}, {"none", false}});
    }
    void cdTags()
    {
        QFETCH(bool, named);
        const QString rip = path(named ? "rips/1371000001/" : "rips/1371000002/");
        TrackRip track;
        track.number = 3;
        track.file = rip + "03 Tres.wav";
        QVERIFY(writeFile(rip + "rip.log", (ripLogHeader({"x.cue", {}, {}, {}, named ? "Album" : "", named ? "Band" : ""})
                                            + ripLogTrack(track, named ? "Tres" : "", "")).toUtf8()));
        HeldEngine engine;
        RunController run(&engine, places());
        run.setChoice({{"ffmpegArgs", "-c:a libmp3lame"}, {"outExt", "mp3"}, {"outputSameFolder", true}});
        run.addFiles({track.file}, "cd");
        HeldEngine again;
        RunController restored(&again, places());
        restored.restore(run.savedJobs(), run.settings());
        again.answer(track.file);
        QVERIFY(restored.start());
        const QString request = again.requests.last();
        QVERIFY2(named ? request.endsWith("Music/Band - Album/03 Tres.mp3 -c:a libmp3lame -metadata title=Tres "
                                          "-metadata artist=Band -metadata album=Album -metadata track=3")
                       : request.contains("/Album 2") && request.endsWith(".mp3 -c:a libmp3lame"),
                 qPrintable(request));
        const QString output = request.section(" > ", 1);
        QVERIFY(QFile::exists(output.left(output.lastIndexOf('/') + 1) + "rip.log"));
    }

    // Real runs: two at once take the time of one; a failure beside a
    // success; a removed job leaves no output and the next one converts.
    void realRuns()
    {
        ScratchProduct product;
        QTemporaryDir out;
        ToolEngine engine;
        RunController run(&engine, places());
        run.setChoice({{"ffmpegArgs", slowArgs}, {"outExt", "wav"}, {"outPath", out.path()},
                       {"outputSameFolder", false}});
        run.setSimultaneous(2);
        QVERIFY(QFile::copy(path("a.wav"), path("gone.wav")));
        QSignalSpy probed(&run, &RunController::probesDone);
        run.addFiles({path("a.wav"), path("b.wav"), path("gone.wav"), path("short.wav")});
        QVERIFY(probed.wait(10000));
        QVERIFY(QFile::remove(path("gone.wav")));
        QSignalSpy ended(&run, &RunController::runFinished);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(run.start());
        QTRY_COMPARE(status(run).count('%'), 2);
        run.remove(1);
        QVERIFY(ended.wait(15000));
        // a and b together, then gone fails at once and short takes a second.
        QVERIFY2(clock.elapsed() < 3900, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(status(run), "complete error complete");
        QCOMPARE(ended.value(0), QVariantList({2, 1, false}));
        QVERIFY(run.list()->at(1).errorMsg.contains("No such file"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList({"a.wav", "short.wav"}));
        QCOMPARE(streams(out.filePath("a.wav")), "pcm_s16le 2.000000");
    }

    // A CD image of a run whose short second job finishes first still
    // holds the jobs in list order, each titled by its title tag or its
    // name, the album by the tags.
    void burnInListOrder()
    {
        ScratchProduct product;
        ToolEngine engine;
        RunController run(&engine, {path("Music/"), path("Videos/"), product.temp()});
        run.setChoice({{"ffmpegArgs", slowArgs}, {"outExt", "wav"}, {"formatId", 36}});
        run.setSimultaneous(2);
        QSignalSpy probed(&run, &RunController::probesDone);
        run.addFiles({path("long.wav"), path("short.wav")});
        QVERIFY(probed.wait(10000));
        run.list()->change(0, [](Job &job) {
            job.tags.title = "The Long One";
            job.tags.album = "Tests";
        });
        QSignalSpy finished(&run, &RunController::jobFinished);
        QSignalSpy ended(&run, &RunController::runFinished);
        const QString image = path("mix.cue");
        QVERIFY(run.start(image));
        QVERIFY(ended.wait(20000));
        QCOMPARE(finished.value(0).value(0).toULongLong(), run.list()->at(1).id);
        QCOMPARE(status(run), "complete complete complete");
        QCOMPARE(run.list()->at(2).newFileName, "Image written: mix.cue");
        QCOMPARE(QString(readFile(image)).split('\n').filter("TITLE"),
                 QStringList({"TITLE \"Tests\"", "    TITLE \"The Long One\"", "    TITLE \"short\""}));
        CAudioCD cd;
        QVERIFY(cd.openDrive(image));
        QCOMPARE(cd.trackCount(), 2);
        QCOMPARE(cd.trackSeconds(0), 3);
        QCOMPARE(cd.trackSeconds(1), 1);
        // The staging folder has gone with what was in it; the log stays.
        QCOMPARE(QDir(product.temp()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"log.txt"});
    }
};

QTEST_GUILESS_MAIN(TestJobs)
#include "tst_jobs.moc"
