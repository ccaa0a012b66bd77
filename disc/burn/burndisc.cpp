#include "disc/burn/burndisc.h"

#include "disc/burn/burnparse.h"
#include "disc/burn/burntools.h"
#include "disc/burn/cdtext.h"
#include "disc/burn/cueimage.h"
#include "disc/burn/disccheck.h"
#include "disc/burn/discverify.h"
#include "disc/dvd/dvdstructure.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/textlog.h"
#include "platform/tools.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int startLimitMs = 30000;

int exitCodeOf(const QProcess &tool)
{
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

QString commandLine(const QString &program, const QStringList &args)
{
    QStringList shown{program};
    for (const QString &a : args)
        shown << (a.contains(' ') ? '"' + a + '"' : a);
    return shown.join(' ');
}

// A hidden file of our own beside `image` that takes the image while it is
// written (".NAME-XXXXXX"); the image's name is claimed only once it is whole.
// An open descriptor, or -1 with the reason.
int createPart(const QString &image, QString *part, QString *error)
{
    const QFileInfo info(image);
    static const QString letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int tries = 0; tries < 100; ++tries) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += letters.at(int(QRandomGenerator::global()->bounded(letters.size())));
        *part = info.path() + "/." + info.fileName() + "-" + suffix;
        const int fd = OwnFiles::createFile(*part, error);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// An open descriptor for writing to a new file of our own in the staging
// folder, named after `stem`; -1 with the reason.
int createStaged(const QString &stem, const QString &ext, QString *path, QString *error)
{
    *path = OwnFiles::claimFreeName(stem, ext, error);
    if (path->isEmpty())
        return -1;
    const int fd = ::open(FileNames::encode(*path).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        *error = OwnFiles::errorText(errno);
    return fd;
}

} // namespace

BurnDisc::BurnDisc(QObject *parent)
    : QThread(parent)
{
}

BurnDisc::~BurnDisc()
{
    wait();
}

void BurnDisc::setJob(const QString &discType, const QString &device, const QString &sourceFolder,
                      const QString &videoStandard)
{
    m_discType = discType;
    m_burnDevice = device;
    m_sourceFolder = sourceFolder;
    m_items.clear();
    m_videoStandard = videoStandard;
    m_options = DiscOptions();
    m_stopping = false;
}

void BurnDisc::stop()
{
    m_stopping = true;
    wait();
}

void BurnDisc::logLine(const QString &text)
{
    appendLogLine(Folders::tempFolder() + "log.txt", text);
}

QDateTime BurnDisc::createdAt(const QFileInfo &file)
{
    // Not every file system keeps a birth time; conversions finish in
    // order, so the last change gives the same order.
    return file.birthTime().isValid() ? file.birthTime() : file.lastModified();
}

void BurnDisc::renameByCreationTime(const QString &pattern, const QString &extension)
{
    const QDir folder(m_sourceFolder);
    for (const QString &name : folder.entryList({pattern}, QDir::Files, QDir::Name)) {
        const QFileInfo info(folder.filePath(name));
        if (!info.exists())
            continue;
        const QString stamp = createdAt(info).toUTC().toString("yyyyMMddhhmmsszzz");
        // A taken name, its own included, leaves the file as it is.
        QFile::rename(info.filePath(), folder.filePath(stamp + extension));
    }
}

QList<DiscItem> BurnDisc::stagedItems(const QString &extension)
{
    if (!m_items.isEmpty())
        return m_items;
    renameByCreationTime("*." + extension, "." + extension);
    const QDir folder(m_sourceFolder);
    QList<DiscItem> items;
    for (const QString &name : folder.entryList({"*." + extension}, QDir::Files, QDir::Name))
        items << DiscItem{folder.filePath(name), 0, {}, {}};
    return items;
}

void BurnDisc::writeProject()
{
    const QString folder = QDir::toNativeSeparators(m_sourceFolder);
    // The paths go into attribute values.
    const QString xmlFolder = folder.toHtmlEscaped();
    QStringList lines{
        "<dvdauthor dest=\"" + xmlFolder + QDir::separator() + "DVD\">",
        "\t<vmgm>",
        "\t\t<menus lang=\"en\">",
        "\t\t\t<video format=\"" + m_videoStandard.toLower() + "\" widescreen=\"nopanscan\" />",
        "\t\t</menus>",
        "\t</vmgm>",
        "\t<titleset>",
        "\t\t<titles>",
        "\t\t\t<pgc>",
    };
    const QDir dir(m_sourceFolder);
    for (const DiscItem &item : stagedItems("mpg")) {
        m_totalBytes += QFileInfo(item.file).size();
        lines << "\t\t\t\t<vob file=\"" + QDir::toNativeSeparators(item.file).toHtmlEscaped() + "\" chapters=\""
                     + DiscPlan::chapterMarks(item.seconds, m_options.chapterMinutes) + "\" />";
    }
    lines << "\t\t\t</pgc>" << "\t\t</titles>" << "\t</titleset>" << "</dvdauthor>";
    QFile project(dir.filePath("mediaforgestudio.xml"));
    if (project.open(QIODevice::WriteOnly | QIODevice::Truncate))
        project.write(lines.join("\r\n").toLocal8Bit());
}

void BurnDisc::run()
{
    if (m_discType == "dvd")
        burnDvd();
    else
        burnCd();
}

QString BurnDisc::startTool(QProcess &tool, const QString &name, const QStringList &args,
                            const std::function<void()> &inChild)
{
    const QString program = Tools::find(name);
    if (program.isEmpty())
        return name + " could not be found. Please install the Debian package "
               + BurnTools::package(name) + ".";
    Tools::start(tool, program, args, QIODevice::ReadWrite, inChild);
    if (!tool.waitForStarted(startLimitMs))
        return name + " could not be started: " + tool.errorString();
    return {};
}

// Ends the tool when the burn is to stop. It is asked first, so that it
// can unlock the tray and let go of the drive; one that doesn't is killed.
bool BurnDisc::stopped(QProcess &tool)
{
    if (!m_stopping)
        return false;
    tool.terminate();
    if (!tool.waitForFinished(m_timings.stopGraceMs)) {
        tool.kill();
        tool.waitForFinished(5000);
    }
    return true;
}

void BurnDisc::setPhase(int from, int to)
{
    m_phaseFrom = from;
    m_phaseTo = to;
}

void BurnDisc::phaseProgress(int percent)
{
    emit burnProgress(m_phaseFrom + std::clamp(percent, 0, 100) * (m_phaseTo - m_phaseFrom) / 100);
}

bool BurnDisc::verified(const std::function<QString(const std::function<bool(int)> &)> &compare)
{
    m_verified = false;
    if (!m_options.verify || m_stopping)
        return !m_stopping;
    logLine("Verifying...");
    emit textStatus("Verifying...");
    emit burnEstTime("Reading back...");
    const QString difference = compare([this](int percent) {
        phaseProgress(percent);
        return !m_stopping;
    });
    if (m_stopping)
        return false;
    if (difference.isEmpty()) {
        logLine("Verified: what was written reads back the same.");
        m_verified = true;
        return true;
    }
    const QString reason = "Verification failed: " + difference;
    logLine(reason);
    emit burnEstTime("Burn failed");
    emit textStatus(reason);
    emit burnComplete(false, QString(), reason);
    return false;
}

void BurnDisc::succeed(const QString &status)
{
    emit burnProgress(100);
    emit burnEstTime(m_verified ? QString("Verified") : QString("Burn complete"));
    emit textStatus(status);
    emit burnComplete(true, DiscCheck::isImage(m_burnDevice) ? m_burnDevice : QString(), QString());
}

void BurnDisc::fail(const QString &reason)
{
    emit burnEstTime("Burn failed");
    emit textStatus("Burn Failed");
    emit burnComplete(false, QString(), reason);
}

void BurnDisc::burnDvd()
{
    const QString dvdFolder = m_sourceFolder + "/DVD";
    // A folder of our own goes once its image is made; one that came back
    // with a restored burn stays.
    if (!OwnFiles::createFolder(dvdFolder))
        QDir().mkpath(dvdFolder);
    m_totalBytes = 0;
    setPhase(0, 20);
    writeProject();
    emit textStatus("Authoring DVD...");
    logLine("Authoring DVD...");
    if (author(m_sourceFolder + "/mediaforgestudio.xml") && !m_stopping) {
        emit burnProgress(20);
        if (DiscCheck::isImage(m_burnDevice))
            writeDvdImage(dvdFolder);
        else
            burnDvdDisc(dvdFolder);
    }
    OwnFiles::remove(dvdFolder);
}

bool BurnDisc::author(const QString &project)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    // Without a default format dvdauthor -x stops at the menu domain.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VIDEO_FORMAT", m_videoStandard.isEmpty() ? QString("NTSC") : m_videoStandard);
    tool.setProcessEnvironment(environment);
    const QString problem = startTool(tool, BurnTools::authoring, {"-x", project});
    if (!problem.isEmpty()) {
        logLine(problem);
        fail(problem);
        return false;
    }
    QString output;
    while (!tool.waitForFinished(m_timings.dvdPollMs) && tool.state() != QProcess::NotRunning) {
        if (stopped(tool))
            return false;
        const QString text = Tools::toolText(tool.readAll());
        if (text.isEmpty())
            continue;
        logLine(text);
        output += text;
        const int progress = BurnParse::authoringProgress(text, m_totalBytes);
        if (progress >= 0)
            emit burnProgress(progress);
    }
    const QString rest = Tools::toolText(tool.readAll());
    if (!rest.isEmpty())
        logLine(rest);
    // A failed authoring must not go on to waste a write-once disc.
    if (exitCodeOf(tool) != 0) {
        QString line = BurnParse::lastErrorLine(output + rest);
        if (line.isEmpty())
            line = "dvdauthor failed.";
        logLine("Authoring failed: " + line);
        fail(line);
        return false;
    }
    return true;
}

int BurnDisc::followIsoTool(QProcess &tool, QString *output, bool writing)
{
    while (!tool.waitForFinished(m_timings.dvdPollMs) && tool.state() != QProcess::NotRunning) {
        if (stopped(tool))
            return -1;
        const QString text = Tools::toolText(tool.readAll());
        if (text.isEmpty())
            continue;
        logLine(text);
        *output += text;
        const BurnParse::IsoReport report = BurnParse::isoReport(text, QDateTime::currentDateTime());
        if (report.percent >= 0)
            phaseProgress(report.percent);
        if (report.closing && writing) {
            phaseProgress(99);
            emit burnEstTime("Closing disc...");
        } else if (!report.timeLeft.isEmpty()) {
            emit burnEstTime(report.timeLeft);
        }
    }
    const QString rest = Tools::toolText(tool.readAll());
    if (!rest.isEmpty()) {
        logLine(rest);
        *output += rest;
    }
    const int code = exitCodeOf(tool);
    logLine(QString("Finished: exitCode=") + (code != 0 ? "true" : "false"));
    return code;
}

bool BurnDisc::makeIso(const QString &dvdFolder, int fd, QString *reason)
{
    // genisoimage opens its output by name; it gets the file we made, by our
    // open descriptor, so that it never writes anything else.
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    const QString label = DiscPlan::volumeLabel(m_options.title.isEmpty() && DiscCheck::isImage(m_burnDevice)
                                                    ? QFileInfo(m_burnDevice).completeBaseName()
                                                    : m_options.title);
    logLine("Volume label: " + label);
    *reason = startTool(tool, BurnTools::isoWriter,
                        {"-dvd-video", "-V", label, "-o", "/proc/self/fd/" + QString::number(fd), dvdFolder},
                        [fd] { ::fcntl(fd, F_SETFD, 0); });
    ::close(fd);
    if (!reason->isEmpty())
        return false;
    emit burnEstTime("Calculating time remaining...");
    QString output;
    const int code = followIsoTool(tool, &output, false);
    if (code == 0 || m_stopping)
        return code == 0;
    *reason = BurnParse::lastErrorLine(output);
    if (reason->isEmpty())
        *reason = QString(BurnTools::isoWriter) + " failed.";
    return false;
}

void BurnDisc::burnDvdDisc(const QString &dvdFolder)
{
    emit textStatus("Making DVD Image...");
    logLine("Making DVD image...");
    setPhase(20, 40);
    QString iso, reason;
    const int fd = createStaged(m_sourceFolder + "/disc", "iso", &iso, &reason);
    if (fd < 0 || !makeIso(dvdFolder, fd, &reason)) {
        if (m_stopping)
            return;
        if (fd < 0)
            reason = "The DVD image can't be made in the staging folder: " + reason + ".";
        logLine(reason);
        fail(reason);
        return;
    }
    OwnFiles::remove(dvdFolder);

    emit burnProgress(40);
    emit textStatus("Burning DVD...");
    logLine("Burning Video DVD...");
    setPhase(40, m_options.verify ? 90 : 100);
    bool burned = false;
    for (int attempt = 1; attempt <= 3 && !m_stopping && !burned; ++attempt) {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        reason = startTool(tool, BurnTools::dvdBurner, {"-dvd-compat", "-Z", m_burnDevice + "=" + iso});
        if (!reason.isEmpty()) {
            // Counts as a failed attempt; nothing is left running to poll.
            logLine(reason);
            logLine("Finished: exitCode=true");
            continue;
        }
        emit burnEstTime("Calculating time remaining...");
        QString output;
        burned = followIsoTool(tool, &output, true) == 0;
        if (!burned)
            reason = BurnParse::lastErrorLine(output);
    }
    if (m_stopping)
        return;
    if (!burned) {
        fail(reason);
        return;
    }
    setPhase(90, 100);
    if (verified([&](const DiscVerify::Progress &progress) {
            return DiscVerify::compareImage(iso, m_burnDevice, m_timings.discReadyMs, progress);
        }))
        succeed("Burn Complete");
}

bool BurnDisc::placeImage(const QString &part, const QString &image, QString *error)
{
    QString why;
    if (OwnFiles::rename(part, image, m_options.replaceable.contains(image), &why))
        return true;
    *error = errno == EEXIST ? QDir::toNativeSeparators(image) + " already exists; the image was not saved."
                             : "The image could not be saved as " + QDir::toNativeSeparators(image) + ": " + why + ".";
    return false;
}

void BurnDisc::writeDvdImage(const QString &dvdFolder)
{
    emit textStatus("Writing DVD Image...");
    logLine("Writing DVD image...");
    setPhase(20, m_options.verify ? 95 : 100);
    const QString iso = m_burnDevice;
    QString part, reason;
    const int fd = createPart(iso, &part, &reason);
    if (fd < 0) {
        reason = "The image can't be written in " + QDir::toNativeSeparators(QFileInfo(iso).path()) + ": " + reason
                 + ".";
        logLine(reason);
        fail(reason);
        return;
    }
    const bool made = makeIso(dvdFolder, fd, &reason);
    if (made && !m_stopping && placeImage(part, iso, &reason)) {
        setPhase(95, 100);
        // Read back as the program reads a DVD: the titles, their chapters
        // and every title set's files, against the folder they came from.
        const bool good = verified([&](const DiscVerify::Progress &) {
            return compareDvdStructures(readDvdStructure(dvdFolder), readDvdStructure(iso));
        });
        if (good) {
            OwnFiles::forget(iso);
            succeed("Image written: " + QFileInfo(iso).fileName());
        } else {
            OwnFiles::remove(iso);
        }
        return;
    }
    OwnFiles::remove(part);
    if (m_stopping)
        return;
    if (reason.isEmpty())
        reason = QString(BurnTools::isoWriter) + " failed.";
    logLine(reason);
    fail(reason);
}

void BurnDisc::burnCd()
{
    const bool image = DiscCheck::isImage(m_burnDevice);
    logLine(image ? "Writing Audio CD image..." : "Burning Audio CD...");
    emit textStatus(image ? "Writing Audio CD Image..." : "Burning Audio CD...");
    const QList<DiscItem> tracks = stagedItems("wav");
    setPhase(0, m_options.verify ? 90 : 99);
    if (image)
        writeCdImage(tracks);
    else
        burnCdDisc(tracks);
}

namespace {

CdText cdTextOf(const QList<DiscItem> &tracks, const QString &title)
{
    CdText text;
    text.title = title;
    for (const DiscItem &track : tracks) {
        text.trackTitles << track.title;
        text.trackPerformers << track.performer;
    }
    text.performer = CdTextFile::albumPerformer(text.trackPerformers);
    return text;
}

QStringList filesOf(const QList<DiscItem> &tracks)
{
    QStringList files;
    for (const DiscItem &track : tracks)
        files << track.file;
    return files;
}

} // namespace

QStringList BurnDisc::cdBurnerArgs(const QString &burner, const QList<DiscItem> &tracks,
                                   const QString &textFile) const
{
    QStringList args{"-v", "dev=" + m_burnDevice, "-pad", "-audio", "-dao", "gracetime=2"};
    if (!textFile.isEmpty())
        args << "textfile=" + textFile;
    const int gap = m_options.gapSeconds > 0 ? 150 : 0;
    // wodim adds two seconds before every track unless told otherwise;
    // cdrskin adds none unless told, track by track.
    if (burner == "wodim")
        args << "defpregap=" + QString::number(gap);
    // One argument per track, in list order: the names never go through a shell.
    for (int t = 0; t < tracks.size(); ++t) {
        if (burner != "wodim" && gap > 0 && t > 0)
            args << "sao_pregap=" + QString::number(gap);
        args << tracks.at(t).file;
    }
    return args;
}

void BurnDisc::burnCdDisc(const QList<DiscItem> &tracks)
{
    const QString burner = BurnTools::cdBurner();
    // The CD-TEXT goes to the burner as a file of its packs.
    QString textFile;
    const QByteArray packs = CdTextFile::packs(cdTextOf(tracks, m_options.title));
    if (!packs.isEmpty()) {
        QString error;
        const int fd = createStaged(m_sourceFolder + "/cdtext", "dat", &textFile, &error);
        const bool written = fd >= 0 && OwnFiles::writeAll(fd, packs.constData(), packs.size());
        if (fd >= 0)
            ::close(fd);
        if (!written) {
            logLine("The CD-TEXT could not be written: " + error);
            textFile.clear();
        }
    }
    const QStringList args = cdBurnerArgs(burner, tracks, textFile);
    logLine("Burning: " + commandLine(burner.isEmpty() ? QString("cdrskin") : burner, args));
    QProcess tool;
    const QString problem =
        burner.isEmpty() ? "Burning an audio CD needs cdrskin or wodim, and neither is installed. "
                           "Please install the Debian package cdrskin."
                         : startTool(tool, burner, args);
    if (!problem.isEmpty()) {
        logLine(problem);
        logLine("Finished: exitCode=true");
        fail(problem);
        return;
    }

    // The tool's output collects meanwhile; a quick end is not looked into.
    const QDeadlineTimer firstWait(m_timings.cdFirstWaitMs);
    while (!firstWait.hasExpired() && !m_stopping && tool.state() != QProcess::NotRunning)
        tool.waitForFinished(m_timings.cdPollMs);
    int trackCount = -1;
    while (tool.state() != QProcess::NotRunning) {
        if (stopped(tool))
            return;
        tool.waitForFinished(m_timings.cdPollMs);
        const QString err = Tools::toolText(tool.readAllStandardError());
        const QString out = Tools::toolText(tool.readAllStandardOutput());
        if (!out.isEmpty())
            logLine(out);
        if (!err.isEmpty())
            logLine(err);
        const BurnParse::CdReport report = BurnParse::cdReport(out);
        if (report.trackCount >= 0) {
            trackCount = report.trackCount;
        } else if (report.fixating) {
            phaseProgress(100);
            emit burnEstTime("Closing disc...");
        } else {
            emit burnEstTime("Burning...");
            const int progress = report.hasTrack
                                     ? BurnParse::cdProgress(report.track, report.written, report.size,
                                                             trackCount)
                                     : -1;
            if (progress >= 0)
                phaseProgress(progress);
        }
    }
    const QString rest =
        Tools::toolText(tool.readAllStandardOutput()) + Tools::toolText(tool.readAllStandardError());
    if (!rest.isEmpty())
        logLine(rest);
    const bool ok = exitCodeOf(tool) == 0;
    logLine(QString("Finished: exitCode=") + (ok ? "false" : "true"));
    if (!ok) {
        fail(QString());
        return;
    }
    setPhase(90, 100);
    if (verified([&](const DiscVerify::Progress &progress) {
            const auto reader = makeLibcdioDevice();
            return DiscVerify::compareTracks(*reader, m_burnDevice, filesOf(tracks), m_timings.discReadyMs, progress);
        }))
        succeed("Burn Complete");
}

void BurnDisc::writeCdImage(const QList<DiscItem> &tracks)
{
    const QString cue = m_burnDevice;
    const QString bin = DiscCheck::binBeside(cue);
    logLine("Writing: " + QDir::toNativeSeparators(cue));
    emit burnEstTime("Burning...");
    QString binPart, cuePart, error;
    int binFd = -1, cueFd = -1;
    bool written = false;
    if ((binFd = createPart(bin, &binPart, &error)) < 0 || (cueFd = createPart(cue, &cuePart, &error)) < 0) {
        error = "The image can't be written in " + QDir::toNativeSeparators(QFileInfo(cue).path()) + ": " + error + ".";
    } else {
        const CueImage::Extras extras{cdTextOf(tracks, m_options.title), m_options.gapSeconds > 0 ? 150 : 0};
        written = CueImage::write(
            filesOf(tracks), binFd, cueFd, QFileInfo(bin).fileName(), &error,
            [this](int percent) {
                phaseProgress(percent);
                return !m_stopping;
            },
            extras);
    }
    for (const int fd : {binFd, cueFd}) {
        if (fd >= 0)
            ::close(fd);
    }
    // The sheet names the data file, so the data file's name is claimed first.
    bool placed = written && !m_stopping && placeImage(binPart, bin, &error);
    if (placed && !placeImage(cuePart, cue, &error)) {
        OwnFiles::remove(bin);
        placed = false;
    }
    if (placed) {
        logLine("Finished: exitCode=false");
        setPhase(90, 100);
        const bool good = verified([&](const DiscVerify::Progress &progress) {
            const auto reader = makeLibcdioDevice();
            return DiscVerify::compareTracks(*reader, cue, filesOf(tracks), 0, progress);
        });
        if (good) {
            OwnFiles::forget(bin);
            OwnFiles::forget(cue);
            succeed("Image written: " + QFileInfo(cue).fileName());
        } else {
            OwnFiles::remove(bin);
            OwnFiles::remove(cue);
        }
        return;
    }
    OwnFiles::remove(binPart);
    OwnFiles::remove(cuePart);
    if (m_stopping)
        return;
    if (error.isEmpty())
        error = "The image could not be saved as " + QDir::toNativeSeparators(cue) + ".";
    logLine(error);
    logLine("Finished: exitCode=true");
    fail(error);
}
