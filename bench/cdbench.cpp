// Measures the CD rip against a plain read-and-write of the same bytes: a
// 60-minute disc image (15 tracks of 4 minutes) ripped through libcdio by the
// rip thread, fast and secure (through libcdio-paranoia), and the image
// copied in blocks of the same size into one file per track behind a 44-byte
// header. Then the peak memory of ripping one track of 1 and of 60 minutes,
// fast and secure. The image is made once in the work folder.

#include "bench/benchsupport.h"
#include "disc/cd/audiocd.h"
#include "disc/cd/cdripthread.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace bench;

namespace {

constexpr int sector = 2352;
constexpr int trackSectors = 4 * 60 * 75;
constexpr int tracks = 15;
// `name`.bin of noise with a cue sheet of `count` tracks of `length` sectors.
QString image(const QString &dir, const QString &name, int count, int length)
{
    const QString bin = dir + "/" + name + ".bin";
    if (QFileInfo(bin).size() != qint64(count) * length * sector) {
        out() << "generating " << bin << "..." << Qt::endl;
        QFile f(bin);
        f.open(QIODevice::WriteOnly);
        std::vector<quint32> chunk(length * sector / 4);
        for (int t = 0; t < count; ++t) {
            QRandomGenerator::global()->fillRange(chunk.data(), chunk.size());
            f.write(reinterpret_cast<const char *>(chunk.data()), length * sector);
        }
    }
    QFile cue(dir + "/" + name + ".cue");
    cue.open(QIODevice::WriteOnly);
    cue.write(("FILE \"" + name + ".bin\" BINARY\n").toUtf8());
    for (int t = 0; t < count; ++t) {
        const int s = t * length;
        cue.write(QString::asprintf("TRACK %02d AUDIO\nINDEX 01 %02d:%02d:%02d\n", t + 1, s / 4500, s / 75 % 60, s % 75)
                      .toUtf8());
    }
    return cue.fileName();
}

void rip(const QString &cue, const QString &folder, RipOptions::Mode mode)
{
    CDRipThread thread;
    thread.setDestination(folder);
    RipOptions options;
    options.mode = mode;
    thread.setOptions(options);
    QStringList list;
    for (int t = 1; t <= tracks; ++t)
        list << QString::number(t);
    QEventLoop loop;
    QObject::connect(&thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread.setTracks(cue, list);
    thread.start();
    loop.exec();
}

void copy(const QString &bin, const QString &folder)
{
    QFile in(bin);
    in.open(QIODevice::ReadOnly);
    std::vector<char> block(20 * sector);
    for (int t = 1; t <= tracks; ++t) {
        QFile file(folder + QString("/Track %1.wav").arg(t));
        file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        file.write(QByteArray(44, '\0'));
        for (int done = 0; done < trackSectors; done += 20) {
            const qint64 n = qMin(20, trackSectors - done) * sector;
            in.read(block.data(), n);
            file.write(block.data(), n);
        }
    }
}

} // namespace

// `mfs_cdbench --peak MODE CUE WAV`: rips the image's first track and says the peak memory.
int peak(const QStringList &args)
{
    CAudioCD cd(args.at(3));
    RipOptions options;
    options.mode = args.at(2) == "secure" ? RipOptions::Mode::Secure : RipOptions::Mode::Fast;
    TrackRip result;
    QFile::remove(args.at(4));
    peakKib(true);
    cd.extractTrack(0, args.at(4), options, &result);
    out() << QString::asprintf("peak memory while ripping a track of %d s, %s: %ld KiB\n", cd.trackSeconds(0),
                               qPrintable(args.at(2)), peakKib(false));
    QFile::remove(args.at(4));
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == "--peak")
        return peak(app.arguments());
    const QString work = qEnvironmentVariable("MFS_BENCH_DIR", QDir::tempPath() + "/mfs-bench");
    QDir().mkpath(work);
    const QString disc = image(work, "sixty-minutes", tracks, trackSectors);
    const QString folder = work + "/out";

    QList<double> plain, ripped, secure;
    for (int round = 0; round < 5; ++round) {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        plain << seconds([&] { copy(work + "/sixty-minutes.bin", folder); });
        QDir(folder).removeRecursively();
        ripped << seconds([&] { rip(disc, folder, RipOptions::Mode::Fast); });
        QDir(folder).removeRecursively();
        secure << seconds([&] { rip(disc, folder, RipOptions::Mode::Secure); });
    }
    QDir(folder).removeRecursively();
    const double mb = double(tracks) * trackSectors * sector / 1e6;
    out() << QString::asprintf("60-minute disc, %.0f MB: plain read-and-write %.2f s (%.0f MB/s), "
                             "fast rip %.2f s (%.0f MB/s): %.2f of the plain speed\n",
                             mb, median(plain), mb / median(plain), median(ripped), mb / median(ripped),
                             median(plain) / median(ripped));
    out() << QString::asprintf("secure rip %.2f s (%.0f MB/s, %.0fx real time): %.2f of the fast rip's speed\n",
                               median(secure), mb / median(secure), 3600 / median(secure),
                               median(ripped) / median(secure));

    // One track of 1 minute and one of 60 minutes (the whole image as one track).
    const QString shortDisc = image(work, "one-minute", 1, 4500);
    QFile::remove(work + "/one-track.bin");
    QFile::link(work + "/sixty-minutes.bin", work + "/one-track.bin");
    const QString longDisc = image(work, "one-track", 1, tracks * trackSectors);
    // Each in a process of its own, so that what one rip leaves on the heap
    // doesn't count for the next.
    for (const QString mode : {"fast", "secure"}) {
        for (const QString &cue : {shortDisc, longDisc}) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--peak", mode, cue, work + "/track.wav"});
            child.waitForFinished(-1);
            out() << QString::fromUtf8(child.readAllStandardOutput());
        }
    }
    // For contrast: the one operation that holds a whole track in memory.
    CAudioCD cd(longDisc);
    QByteArray whole;
    peakKib(true);
    cd.readTrack(0, whole);
    out() << QString::asprintf("peak memory of readTrack on the 3600 s track: %ld KiB\n", peakKib(false));
    QFile::remove(work + "/track.wav");
    return 0;
}
