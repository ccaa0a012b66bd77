// Measures what the media pipeline adds to the bare ffmpeg runs it makes:
// a conversion through the runner, a probe, and the thumbnail run for a short
// and a long input. Inputs are generated once and kept in the work folder.

#include "bench/benchsupport.h"
#include "media/conversionthread.h"
#include "media/fileinfothread.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

using namespace bench;

namespace {

// Waits in an event loop until `signal` of `sender` arrives.
template<typename Sender, typename Signal>
void await(Sender *sender, Signal signal, const std::function<void()> &start)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, [&loop] { loop.quit(); });
    start();
    loop.exec();
}

QString generate(const QString &dir, const QString &name, int seconds)
{
    const QString path = dir + "/" + name;
    if (!QFileInfo::exists(path)) {
        out() << "generating " << path << " (" << seconds << " s of 720p H.264)..." << Qt::endl;
        ffmpeg({"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                "testsrc2=size=1280x720:rate=25", "-t", QString::number(seconds), "-c:v", "libx264",
                "-preset", "ultrafast", "-g", "250", "-pix_fmt", "yuv420p", path + ".part.mp4"});
        QFile::rename(path + ".part.mp4", path);
    }
    return path;
}

void row(const QString &what, double bare, double ours)
{
    out() << qSetFieldWidth(34) << Qt::left << what << qSetFieldWidth(0)
        << QString::asprintf("bare %7.3f s   through the program %7.3f s   %+6.1f %%\n", bare, ours,
                             (ours / bare - 1) * 100);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName("MediaForgeStudio");
    const int rounds = 5;

    // Inputs live in $MFS_BENCH_DIR or the system's temporary folder; the
    // one-hour input takes a few minutes to make the first time.
    const QString work = qEnvironmentVariable("MFS_BENCH_DIR", QDir::tempPath() + "/mfs-bench");
    QDir().mkpath(work);
    const QString ten = generate(work, "ten-seconds.mp4", 10);
    const QString hour = generate(work, "one-hour.mp4", 3600);

    QTemporaryDir appdata;
    qputenv("appdata", appdata.path().toLocal8Bit());
    const QString temp = appdata.path() + "/MediaForgeStudio/temp/";
    QDir().mkpath(temp);

    // Conversion: the same command alone and through the runner.
    {
        const QStringList preset{"-c:v", "libx264", "-preset", "medium"};
        const QString target = temp + "converted";
        ConversionThread runner;
        QList<double> bare, ours;
        for (int i = 0; i < rounds; ++i) {
            QFile::remove(target + ".mp4");
            bare << seconds([&] { ffmpeg(QStringList{"-i", ten} + preset + QStringList{target + ".mp4"}); });
            QFile::remove(target + ".mp4");
            ours << seconds([&] {
                await(&runner, &ConversionThread::conversionComplete, [&] {
                    runner.setParameters(ten, preset, target, "mp4");
                    runner.startRun();
                });
                runner.wait();
            });
        }
        row("conversion (10 s of 720p, x264)", median(bare), median(ours));
    }

    // Probe: one file against the two runs it makes.
    {
        FileInfoThread probe;
        QList<double> bare, ours;
        for (int i = 0; i < rounds; ++i) {
            bare << seconds([&] {
                ffmpeg({"-i", ten});
                ffmpeg({"-ss", "1", "-i", ten, "-y", "-f", "image2", "-frames:v", "1", "-s", "88x66",
                        temp + "bare.png"});
            });
            ours << seconds([&] {
                await(&probe, &FileInfoThread::fileInfoReady, [&] { probe.enqueue(ten); });
            });
        }
        row("probe (10 s of 720p)", median(bare), median(ours));
        QList<double> hourProbe;
        for (int i = 0; i < 3; ++i)
            hourProbe << seconds([&] {
                await(&probe, &FileInfoThread::fileInfoReady, [&] { probe.enqueue(hour); });
            });
        out() << QString::asprintf("probe of the one-hour input: %.3f s\n", median(hourProbe));
    }

    // Thumbnail at a twentieth of the length, seeking after and before -i.
    struct Case {
        const char *name;
        QString input;
        QString at;
    };
    for (const Case &c : {Case{"10 s", ten, "1"}, Case{"1 h", hour, "180"}}) {
        const QString &input = c.input;
        const QString &at = c.at;
        QList<double> after, before;
        for (int i = 0; i < 3; ++i) {
            after << seconds([&] {
                ffmpeg({"-i", input, "-y", "-f", "image2", "-ss", at, "-frames:v", "1", "-s", "88x66",
                        temp + "after.png"});
            });
            before << seconds([&] {
                ffmpeg({"-ss", at, "-i", input, "-y", "-f", "image2", "-frames:v", "1", "-s", "88x66",
                        temp + "before.png"});
            });
        }
        out() << QString::asprintf("thumbnail of %-4s  -ss after -i %7.3f s   -ss before -i %7.3f s\n",
                                 c.name, median(after), median(before));
    }
    return 0;
}
