// Measures ripper against cat of the same VOB files: time for a title of about
// 1.2 GB (two VOB files) from a DVD folder and from an ISO image, and the
// tool's peak memory for that title and one a tenth of its size. The discs
// are generated once (a few minutes) and kept in /tmp/mfs-dvdbench.

#include "bench/benchsupport.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace bench;

namespace {

struct Run {
    double seconds = 0;
    double cpu = 0; // user + system: what the machine's other work doesn't stretch
    long peakKb = 0;
    bool ok = false;
};

// One run of a program with its standard output going to `output`.
Run measure(const QStringList &args, const QString &output)
{
    std::vector<QByteArray> bytes;
    for (const QString &a : args)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(output).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Run run;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.seconds = clock.nsecsElapsed() / 1e9;
        run.peakKb = usage.ru_maxrss;
        run.cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                  + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

bool tool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitCode() == 0;
}

// A DVD folder and its ISO image holding one title of `loops` times a
// 20-second noisy PAL chunk (noise keeps the bit rate high).
bool makeDisc(const QString &work, const QString &name, int loops)
{
    const QString folder = work + "/" + name;
    if (QFileInfo::exists(folder + ".iso"))
        return true;
    const QString chunk = work + "/chunk.mpg";
    if (!QFileInfo::exists(chunk)) {
        out() << "generating the noisy chunk..." << Qt::endl;
        if (!tool("ffmpeg", {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                             "testsrc2=size=720x576:rate=25,noise=alls=60:allf=t", "-f", "lavfi", "-i",
                             "sine=sample_rate=48000", "-t", "20", "-target", "pal-dvd", "-q:v", "2", chunk}))
            return false;
    }
    out() << "making " << folder << " (" << loops << " chunks)..." << Qt::endl;
    const QString title = work + "/" + name + ".mpg";
    QDir(folder).removeRecursively();
    qputenv("VIDEO_FORMAT", "PAL");
    const bool ok = tool("ffmpeg", {"-v", "fatal", "-nostdin", "-y", "-stream_loop", QString::number(loops - 1),
                                    "-i", chunk, "-c", "copy", "-f", "dvd", title})
                    && tool("dvdauthor", {"-o", folder, "-t", title}) && tool("dvdauthor", {"-o", folder, "-T"})
                    && tool("genisoimage", {"-quiet", "-dvd-video", "-V", name, "-o", folder + ".iso", folder});
    QFile::remove(title);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString ripper = QCoreApplication::applicationDirPath() + "/../bin/ripper";
    const QString work = "/tmp/mfs-dvdbench";
    QDir().mkpath(work);
    if (!QFileInfo(ripper).isExecutable() || !makeDisc(work, "LARGE", 50) || !makeDisc(work, "SMALL", 5)) {
        out() << "cannot prepare the bench (ripper built? ffmpeg, dvdauthor, genisoimage installed?)" << Qt::endl;
        return 1;
    }
    const QString copy = work + "/copy.vob";
    QStringList vobs;
    for (const QString &f : QDir(work + "/LARGE/VIDEO_TS").entryList({"VTS_01_*.VOB"}, QDir::Files, QDir::Name)) {
        if (!f.endsWith("_0.VOB"))
            vobs << work + "/LARGE/VIDEO_TS/" + f;
    }
    qint64 size = 0;
    for (const QString &v : vobs)
        size += QFileInfo(v).size();
    out() << "title: " << vobs.size() << " VOB files, " << size / 1e6 << " MB" << Qt::endl;

    // Warm cache, medians of several rounds: the machine may be shared. Into a
    // file cat copies inside the kernel (copy_file_range); ripper's blocks pass
    // through libdvdread's buffer, as decryption needs. /dev/null shows the reading.
    for (const QString &sink : {copy, QString("/dev/null")}) {
        QList<double> wall[3], cpu[3];
        // Each run starts with nothing left to write back from the one before.
        const auto fresh = [&](int who, const QStringList &args, const QString &to) {
            QFile::remove(copy);
            ::sync();
            const Run r = measure(args, to);
            wall[who] << r.seconds;
            cpu[who] << r.cpu;
        };
        // The order turns each round, so no contender always follows the same one.
        for (int i = 0; i < 9; ++i) {
            for (int k = 0; k < 3; ++k) {
                switch ((i + k) % 3) {
                case 0: fresh(0, QStringList{"cat"} + vobs, sink); break;
                case 1: fresh(1, {ripper, work + "/LARGE", "1", sink}, "/dev/null"); break;
                default: fresh(2, {ripper, work + "/LARGE.iso", "1", sink}, "/dev/null"); break;
                }
            }
        }
        out() << "to " << (sink == copy ? "a file" : "/dev/null") << ", medians of 9, wall (cpu) seconds:\n"
            << "  cat " << median(wall[0]) << " (" << median(cpu[0]) << ")\n";
        for (int who : {1, 2})
            out() << "  ripper " << (who == 1 ? "folder " : "ISO ") << median(wall[who]) << " (" << median(cpu[who])
                << "): " << median(wall[0]) / median(wall[who]) << " of cat's speed ("
                << median(cpu[0]) / median(cpu[who]) << " by cpu)\n";
        out().flush();
    }
    const Run large = measure({ripper, work + "/LARGE", "1", copy}, "/dev/null");
    QProcess cat, cmp;
    cat.setStandardOutputProcess(&cmp);
    cat.start("cat", vobs);
    cmp.start("cmp", {"-s", "-", copy});
    const bool same = cat.waitForFinished(-1) && cmp.waitForFinished(-1) && cmp.exitCode() == 0;
    out() << "the copy is " << (same ? "" : "NOT ") << "the title's VOB files byte for byte" << Qt::endl;
    const Run small = measure({ripper, work + "/SMALL", "1", copy}, "/dev/null");
    out() << "peak memory of ripper: " << small.peakKb << " kB for " << QFileInfo(work + "/SMALL.iso").size() / 1e6
        << " MB, " << large.peakKb << " kB for " << size / 1e6 << " MB" << Qt::endl;
    QFile::remove(copy);
    return large.ok && small.ok && same ? 0 : 1;
}
