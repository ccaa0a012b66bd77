#include "disc/burn/burndisc.h"

#include "disc/burn/burnparse.h"
#include "disc/burn/burntools.h"
#include "disc/burn/cueimage.h"
#include "disc/burn/disccheck.h"
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
#include <QRegularExpression>

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

QString volumeLabel(const QString &isoPath)
{
    QString label = QFileInfo(isoPath).completeBaseName().toUpper();
    label.replace(QRegularExpression("[^A-Z0-9_]"), "_");
    return label.isEmpty() ? QString("DVD_VIDEO") : label.left(32);
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
    m_files.clear();
    m_videoStandard = videoStandard;
    m_replaceable.clear();
    m_stopping = false;
}

void BurnDisc::allowReplacing(const QStringList &files)
{
    m_replaceable = files;
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

QStringList BurnDisc::stagedFiles(const QString &extension)
{
    if (!m_files.isEmpty())
        return m_files;
    renameByCreationTime("*." + extension, "." + extension);
    const QDir folder(m_sourceFolder);
    QStringList files;
    for (const QString &name : folder.entryList({"*." + extension}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
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
    for (const QString &mpg : stagedFiles("mpg")) {
        m_totalBytes += QFileInfo(mpg).size();
        lines << "\t\t\t\t<vob file=\"" + QDir::toNativeSeparators(mpg).toHtmlEscaped() + "\" />";
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

void BurnDisc::succeed()
{
    emit burnEstTime("Burn complete");
    emit textStatus("Burn Complete");
    emit burnComplete(true, QString(), QString());
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
    QDir().mkpath(dvdFolder);
    m_totalBytes = 0;
    writeProject();
    emit textStatus("Authoring DVD...");
    logLine("Authoring DVD...");
    if (!author(m_sourceFolder + "/mediaforgestudio.xml") || m_stopping)
        return;
    emit burnProgress(20);
    emit textStatus("Burning DVD...");
    logLine("Burning Video DVD...");
    if (DiscCheck::isImage(m_burnDevice))
        writeDvdImage(dvdFolder);
    else
        burnDvdDisc(dvdFolder);
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

int BurnDisc::followIsoTool(QProcess &tool, QString *output)
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
        if (report.progress >= 0)
            emit burnProgress(report.progress);
        if (report.closing) {
            emit burnProgress(99);
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

void BurnDisc::burnDvdDisc(const QString &dvdFolder)
{
    QString reason;
    for (int attempt = 1; attempt <= 3 && !m_stopping; ++attempt) {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        reason = startTool(tool, BurnTools::dvdBurner, {"-Z", m_burnDevice, "-dvd-video", dvdFolder});
        if (!reason.isEmpty()) {
            // Counts as a failed attempt; nothing is left running to poll.
            logLine(reason);
            logLine("Finished: exitCode=true");
            continue;
        }
        emit burnEstTime("Calculating time remaining...");
        QString output;
        if (followIsoTool(tool, &output) == 0) {
            succeed();
            return;
        }
        reason = BurnParse::lastErrorLine(output);
    }
    if (!m_stopping)
        fail(reason);
}

bool BurnDisc::placeImage(const QString &part, const QString &image, QString *error)
{
    QString why;
    if (OwnFiles::rename(part, image, m_replaceable.contains(image), &why))
        return true;
    *error = errno == EEXIST ? QDir::toNativeSeparators(image) + " already exists; the image was not saved."
                             : "The image could not be saved as " + QDir::toNativeSeparators(image) + ": " + why + ".";
    return false;
}

void BurnDisc::writeDvdImage(const QString &dvdFolder)
{
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
    // genisoimage opens its output by name; it gets the file we made, by our
    // open descriptor, so that it never writes anything else.
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    const QString problem =
        startTool(tool, BurnTools::isoWriter,
                  {"-dvd-video", "-V", volumeLabel(iso), "-o", "/proc/self/fd/" + QString::number(fd), dvdFolder},
                  [fd] { ::fcntl(fd, F_SETFD, 0); });
    ::close(fd);
    if (!problem.isEmpty()) {
        OwnFiles::remove(part);
        logLine(problem);
        fail(problem);
        return;
    }
    emit burnEstTime("Calculating time remaining...");
    QString output;
    const int code = followIsoTool(tool, &output);
    if (code == 0 && !m_stopping && placeImage(part, iso, &reason)) {
        OwnFiles::forget(iso);
        succeed();
        return;
    }
    OwnFiles::remove(part);
    if (m_stopping)
        return;
    if (code != 0)
        reason = BurnParse::lastErrorLine(output);
    if (reason.isEmpty())
        reason = QString(BurnTools::isoWriter) + " failed.";
    logLine(reason);
    fail(reason);
}

void BurnDisc::burnCd()
{
    logLine("Burning Audio CD...");
    emit textStatus("Burning Audio CD...");
    const QStringList tracks = stagedFiles("wav");
    if (DiscCheck::isImage(m_burnDevice))
        writeCdImage(tracks);
    else
        burnCdDisc(tracks);
}

void BurnDisc::burnCdDisc(const QStringList &tracks)
{
    const QString burner = BurnTools::cdBurner();
    // One argument per track, in name order: the pattern is never handed
    // to a shell.
    const QStringList args =
        QStringList{"-v", "dev=" + m_burnDevice, "-pad", "-audio", "-dao", "gracetime=2"} + tracks;
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
            emit burnProgress(99);
            emit burnEstTime("Closing disc...");
        } else {
            emit burnEstTime("Burning...");
            const int progress = report.hasTrack
                                     ? BurnParse::cdProgress(report.track, report.written, report.size,
                                                             trackCount)
                                     : -1;
            if (progress >= 0)
                emit burnProgress(progress);
        }
    }
    const QString rest =
        Tools::toolText(tool.readAllStandardOutput()) + Tools::toolText(tool.readAllStandardError());
    if (!rest.isEmpty())
        logLine(rest);
    const bool ok = exitCodeOf(tool) == 0;
    logLine(QString("Finished: exitCode=") + (ok ? "false" : "true"));
    if (ok)
        succeed();
    else
        fail(QString());
}

void BurnDisc::writeCdImage(const QStringList &tracks)
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
        written = CueImage::write(tracks, binFd, cueFd, QFileInfo(bin).fileName(), &error, [this](int percent) {
            emit burnProgress(percent * 99 / 100);
            return !m_stopping;
        });
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
        OwnFiles::forget(bin);
        OwnFiles::forget(cue);
        logLine("Finished: exitCode=false");
        succeed();
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
