#include "disc/burn/disccheck.h"

#include "disc/burn/burnparse.h"
#include "disc/burn/burntools.h"
#include "disc/burn/cueimage.h"
#include "disc/drives.h"
#include "platform/tools.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

namespace DiscCheck {

namespace {

// Bytes per second of a run: the DVD presets stay near 1.2 MB/s; CD audio is
// 44 100 stereo 16-bit frames a second.
const qint64 dvdBytesPerSecond = 1200000;
const qint64 cdBytesPerSecond = 176400;

QString firstMissing(const QStringList &programs, const QString &purpose)
{
    for (const QString &program : programs) {
        const QString problem = BurnTools::missing(program, purpose);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QString checkDvd(const QString &node, int seconds)
{
    const QString missing =
        firstMissing({BurnTools::authoring, BurnTools::dvdBurner, BurnTools::dvdInfo}, "Burning a DVD");
    if (!missing.isEmpty())
        return missing;
    const Tools::Run info = Tools::run(BurnTools::dvdInfo, {node});
    if (!info.started)
        return BurnTools::unstartable(BurnTools::dvdInfo, info.error);
    return BurnParse::dvdVerdict(Tools::toolText(info.out), seconds);
}

QString checkCd(const QString &node, int seconds)
{
    if (BurnTools::cdBurner().isEmpty())
        return "Burning an audio CD needs cdrskin or wodim, and neither is installed. "
               "Please install the Debian package cdrskin.";
    const QString missing = BurnTools::missing(BurnTools::cdState, "Checking the CD");
    if (!missing.isEmpty())
        return missing;
    const Tools::Run state = Tools::run(BurnTools::cdState, {node});
    if (!state.started)
        return BurnTools::unstartable(BurnTools::cdState, state.error);
    return BurnParse::cdVerdict(Tools::toolText(state.out), seconds, node);
}

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + 999999) / 1000000) + " MB";
}

QString checkImage(const QString &path, int seconds, const QString &discType)
{
    const bool dvd = discType == "dvd";
    if (dvd) {
        const QString missing =
            firstMissing({BurnTools::authoring, BurnTools::isoWriter}, "Making a DVD image");
        if (!missing.isEmpty())
            return missing;
    } else {
        const QString unnamable = CueImage::nameProblem(QFileInfo(binBeside(path)).fileName());
        if (!unnamable.isEmpty())
            return unnamable;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        return "The folder " + QDir::toNativeSeparators(folder) + " does not exist.";
    QTemporaryFile probe(folder + "/.mediaforgestudio-XXXXXX");
    if (!probe.open())
        return "The image can't be written in the folder " + QDir::toNativeSeparators(folder) + ".";
    probe.close();
    const qint64 needed = qint64(qMax(seconds, 0)) * (dvd ? dvdBytesPerSecond : cdBytesPerSecond);
    const qint64 free = QStorageInfo(folder).bytesAvailable();
    if (free >= 0 && free < needed)
        return "There is not enough room for the image in " + QDir::toNativeSeparators(folder)
               + ": it needs about " + megabytes(needed) + " and " + megabytes(free) + " are free.";
    return {};
}

} // namespace

QList<Target> targets()
{
    QList<Target> list;
    for (const QString &node : Drives::opticalDrives())
        list << Target{node + " [" + Drives::identification(node) + "]", node, false};
    list << Target{"Image file", QString(), true};
    return list;
}

bool isImage(const QString &id)
{
    return id.endsWith(".iso", Qt::CaseInsensitive) || id.endsWith(".cue", Qt::CaseInsensitive);
}

QString imagePath(const QString &fileName, const QString &discType)
{
    const QString suffix = discType == "dvd" ? ".iso" : ".cue";
    return fileName.endsWith(suffix, Qt::CaseInsensitive) ? fileName : fileName + suffix;
}

QString binBeside(const QString &cuePath)
{
    return cuePath.left(cuePath.size() - 4) + ".bin";
}

QString checkDisc(const QString &deviceId, int seconds, const QString &discType)
{
    if (isImage(deviceId))
        return checkImage(deviceId, seconds, discType);
    const QString access = deviceId.isEmpty() ? QString() : Drives::accessProblem(deviceId);
    if (!access.isEmpty())
        return access;
    return discType == "dvd" ? checkDvd(deviceId, seconds) : checkCd(deviceId, seconds);
}

} // namespace DiscCheck
