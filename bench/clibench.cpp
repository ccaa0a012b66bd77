// Measures "mediaforgestudio-cli convert --jobs 1" of a folder of short
// clips against the same ffmpeg commands run one after another from a shell
// loop, and against a loop that also runs the probe's "ffmpeg -i" before
// each one; and "--jobs 2" against "--jobs 1".
//
//   mfs_clibench [CLIPS [PRESET...]]     (default: 1000 clips, presets 204 and 104)
//
// Preset 204 (MP3) gets one-second WAV clips, any other preset one-second
// 320x240 clips with sound. Clips live in $MFS_BENCH_DIR or the system's
// temporary folder and are made once.

#include "bench/benchsupport.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

using namespace bench;

namespace {

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    p.closeWriteChannel();
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit;
}

double childSeconds()
{
    rusage use{};
    ::getrusage(RUSAGE_CHILDREN, &use);
    return use.ru_utime.tv_sec + use.ru_stime.tv_sec + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// Wall time, and processor time of the program and everything it ran, which
// a busy machine disturbs less.
struct Cost {
    double wall, cpu;
};

Cost timed(const QString &program, const QStringList &args)
{
    const double cpu = childSeconds();
    QElapsedTimer clock;
    clock.start();
    if (!run(program, args))
        out() << program << " failed" << Qt::endl;
    return {clock.nsecsElapsed() / 1e9, childSeconds() - cpu};
}

// A folder of `count` copies of one generated clip.
QString clips(const QString &work, bool audio, int count)
{
    const QString dir = work + QString("/clips-%1-%2").arg(audio ? "audio" : "video").arg(count);
    const QString ext = audio ? ".wav" : ".mp4";
    if (QDir(dir).entryList(QDir::Files).size() == count)
        return dir;
    out() << "making " << count << " clips in " << dir << Qt::endl;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    const QString first = dir + "/clip0000" + ext;
    QStringList args{"-v", "error", "-nostdin", "-y"};
    if (audio)
        args << "-f" << "lavfi" << "-i" << "sine=duration=1";
    else
        args << "-f" << "lavfi" << "-i" << "testsrc2=size=320x240:rate=25:duration=1" << "-f" << "lavfi"
             << "-i" << "sine=duration=1" << "-c:v" << "libx264" << "-preset" << "ultrafast" << "-pix_fmt"
             << "yuv420p" << "-c:a" << "aac" << "-shortest";
    run("ffmpeg", args << first);
    for (int i = 1; i < count; ++i)
        QFile::copy(first, dir + QString("/clip%1").arg(i, 4, 10, QChar('0')) + ext);
    return dir;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int count = args.size() > 1 ? args.at(1).toInt() : 1000;
    const QStringList presets = args.size() > 2 ? args.mid(2) : QStringList{"204", "104"};
    const QString work = qEnvironmentVariable("MFS_BENCH_DIR", QDir::tempPath() + "/mfs-bench");

    // A user of its own, with the pristine catalogue.
    QTemporaryDir scratch;
    qputenv("appdata", scratch.path().toLocal8Bit());
    const QString product = scratch.path() + "/MediaForgeStudio";
    QDir().mkpath(product);
    QFile::copy(MFS_CATALOGUE_DB, product + "/data.db");
    const QString log = product + "/temp/log.txt";

    for (const QString &preset : presets) {
        const QString dir = clips(work, preset == "204", count);
        QStringList files;
        for (const QString &name : QDir(dir).entryList(QDir::Files, QDir::Name))
            files << dir + "/" + name;
        const QString cliOut = scratch.path() + "/cli", shellOut = scratch.path() + "/shell";

        auto convert = [&](const QString &jobs) {
            QDir(cliOut).removeRecursively();
            QDir().mkpath(cliOut);
            QFile::remove(log);
            return timed(MFS_CLI, QStringList{"convert", "--jobs", jobs, "--preset", preset, "--output", cliOut} + files);
        };
        // Two at once first, so that the log holds the one-at-a-time run's commands.
        const Cost two = convert("2");
        const Cost cli = convert("1");

        // The commands the program ran, as its log records them, into another folder.
        QFile logFile(log);
        logFile.open(QIODevice::ReadOnly | QIODevice::Text);
        QString plain, probed;
        const QRegularExpression started("^Starting conversion: (ffmpeg -i (\"[^\"]*\") .*)$",
                                         QRegularExpression::MultilineOption);
        auto it = started.globalMatch(QString::fromLocal8Bit(logFile.readAll()));
        int commands = 0;
        while (it.hasNext()) {
            const auto m = it.next();
            const QString command = QString(m.captured(1)).replace(cliOut, shellOut) + " </dev/null 2>/dev/null\n";
            plain += command;
            probed += "ffmpeg -i " + m.captured(2) + " </dev/null 2>/dev/null\n" + command;
            ++commands;
        }
        if (commands != count)
            out() << "the log holds " << commands << " conversions of " << count << Qt::endl;
        auto shell = [&](const QString &script) {
            QDir(shellOut).removeRecursively();
            QDir().mkpath(shellOut);
            QFile file(scratch.path() + "/loop.sh");
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(script.toLocal8Bit());
            file.close();
            return timed("sh", {file.fileName()});
        };
        const Cost loop = shell(plain);
        const Cost loopWithProbe = shell(probed);
        auto line = [&](const char *what, Cost c) {
            out() << QString::asprintf("  %-24s wall %7.1f s  cpu %7.1f s   convert/this: wall %.3f  cpu %.3f\n",
                                     what, c.wall, c.cpu, cli.wall / c.wall, cli.cpu / c.cpu);
        };
        out() << "preset " << preset << ", " << count << " clips" << Qt::endl;
        line("convert --jobs 1", cli);
        line("shell loop", loop);
        line("shell loop with probes", loopWithProbe);
        out() << QString::asprintf("  convert --jobs 2          wall %7.1f s  cpu %7.1f s   jobs 2/jobs 1: wall %.3f\n",
                                   two.wall, two.cpu, two.wall / cli.wall);
    }
    return 0;
}
