// Measures the window's job list: how long files named on its command line
// take until every row is probed, against the bare "ffmpeg -i" and thumbnail
// runs for the same files back to back; how long the event loop is kept
// from answering meanwhile; a run of MP3 conversions one at a time against
// "Automatic"; and the peak memory with 1000 rows.
//
//   mfs_pagebench [WAVS [VIDEOS [ROWS]]]   (default: 200 one-second WAVs,
//                                          20 ten-second 320x240 videos, 1000 rows)
//
// Inputs live in $MFS_BENCH_DIR or the system's temporary folder and are made once.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "bench/benchsupport.h"
#include "jobs/runcontroller.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

using namespace bench;

namespace {

// `count` copies of one generated input, made once.
QStringList inputs(const QString &work, const QString &kind, int count)
{
    const QString dir = work + QString("/page-%1-%2").arg(kind).arg(count);
    const QString ext = kind == "audio" ? ".wav" : ".mp4";
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << dir + QString("/in%1").arg(i, 4, 10, QChar('0')) + ext;
    if (QDir(dir).entryList(QDir::Files).size() == count)
        return files;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    if (kind == "audio")
        ffmpeg({"-v", "error", "-y", "-f", "lavfi", "-i", "sine=duration=1", files.first()});
    else
        ffmpeg({"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=10", "-f", "lavfi",
                "-i", "sine=duration=10", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-shortest",
                files.first()});
    for (int i = 1; i < count; ++i)
        QFile::copy(files.first(), files.at(i));
    return files;
}

// What the probe did before: "ffmpeg -i", then the thumbnail run, per file.
double bareProbes(const QStringList &files, const QString &scratch)
{
    return seconds([&] {
        for (const QString &file : files) {
            ffmpeg({"-i", file});
            ffmpeg({"-ss", "1", "-i", file, "-y", "-f", "image2", "-frames:v", "1", "-s", "88x66",
                    scratch + "/thumb.png"});
        }
    });
}

// Hands the files to the window as its command line and waits until every
// row is probed; the longest the event loop was kept from a 10 ms timer.
double loadRows(MainWindow &window, const QStringList &files, double *stall)
{
    QElapsedTimer gap;
    gap.start();
    qint64 longest = 0;
    QTimer ping;
    ping.setInterval(10);
    QObject::connect(&ping, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    ping.start();
    QEventLoop loop;
    QObject::connect(window.jobs(), &RunController::probesDone, &loop, &QEventLoop::quit);
    const double took = seconds([&] {
        handOverCommandLine(window, QStringList{"mediaforgestudio"} + files);
        loop.exec();
    });
    *stall = longest / 1000.0;
    return took;
}

double convertAll(MainWindow &window, int simultaneous)
{
    RunController *jobs = window.jobs();
    jobs->setSimultaneous(simultaneous);
    jobs->setChoice({{"ffmpegArgs", "-vn -c:a libmp3lame -b:a 128k -id3v2_version 3"}, {"outExt", "mp3"},
                     {"outputSameFolder", false}, {"outPath", QDir::tempPath() + "/mfs-page-out"}});
    QDir(QDir::tempPath() + "/mfs-page-out").removeRecursively();
    QDir().mkpath(QDir::tempPath() + "/mfs-page-out");
    QEventLoop loop;
    QObject::connect(jobs, &RunController::runFinished, &loop, &QEventLoop::quit);
    return seconds([&] {
        jobs->start();
        loop.exec();
    });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setApplicationName("MediaForgeStudio");
    const QStringList args = app.arguments();
    const int wavs = args.size() > 1 ? args.at(1).toInt() : 200;
    const int videos = args.size() > 2 ? args.at(2).toInt() : 20;
    const int rows = args.size() > 3 ? args.at(3).toInt() : 1000;
    const QString work = qEnvironmentVariable("MFS_BENCH_DIR", QDir::tempPath() + "/mfs-bench");

    QTemporaryDir scratch;
    qputenv("appdata", scratch.path().toLocal8Bit());
    QDir().mkpath(scratch.path() + "/MediaForgeStudio/temp");
    QFile::copy(MFS_CATALOGUE_DB, scratch.path() + "/MediaForgeStudio/data.db");

    const QStringList files = inputs(work, "audio", wavs) + inputs(work, "video", videos);
    out() << "probing " << wavs << " WAVs and " << videos << " videos, " << QThread::idealThreadCount() << " cores"
          << Qt::endl;
    const double bare = bareProbes(files, scratch.path());
    {
        MainWindow window;
        window.show();
        double stall = 0;
        const double page = loadRows(window, files, &stall);
        out() << QString::asprintf("  bare ffmpeg -i + thumbnail runs %7.2f s\n  window, every row probed      %7.2f s"
                                   "   ratio %.3f   (event loop kept at most %.3f s)\n",
                                   bare, page, page / bare, stall);
        // The sound files alone, one at a time and then as many as suit.
        window.jobs()->clearFinished();
        for (int row = window.jobs()->list()->count() - 1; row >= wavs; --row)
            window.jobs()->remove(row);
        const double one = convertAll(window, 1);
        for (int row = 0; row < window.jobs()->list()->count(); ++row)
            window.jobs()->list()->change(row, [](Job &job) { job.state = Job::State::Waiting; });
        const double automatic = convertAll(window, 0);
        out() << QString::asprintf("  %d WAVs to MP3: \"1\" %.2f s, \"Automatic\" %.2f s   ratio %.3f\n", wavs, one,
                                   automatic, automatic / one);
    }
    {
        MainWindow window;
        window.show();
        double stall = 0;
        const QStringList many = inputs(work, "audio", rows);
        const double took = loadRows(window, many, &stall);
        out() << QString::asprintf("  %d rows probed in %.2f s (event loop kept at most %.3f s), peak memory %ld MB\n",
                                   rows, took, stall, peakKib() / 1024);
    }
    return 0;
}
