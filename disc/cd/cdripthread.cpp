#include "disc/cd/cdripthread.h"

#include "disc/cd/discinfo.h"
#include "disc/cd/riplog.h"
#include "disc/drives.h"
#include "disc/ripfolder.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

CDRipThread::CDRipThread(std::unique_ptr<CdDevice> device, QObject *parent)
    : QThread(parent)
    , cd(QString(), std::move(device))
{
    qRegisterMetaType<TrackRip>();
    // Direct: runs on the rip thread. A cancel that came just before the
    // extraction raised its own flag again is honoured after one block.
    connect(&cd, &CAudioCD::fileProgress, this, [this](int percentage) {
        if (!running)
            cd.stopReading();
        emit progress(percentage);
    }, Qt::DirectConnection);
}

CDRipThread::~CDRipThread()
{
    cancel();
    wait();
}

bool CDRipThread::setTracks(const QString &drive, const QStringList &tracks)
{
    if (isRunning())
        return false;
    driveId = drive;
    trackList = tracks;
    running = true;
    return true;
}

void CDRipThread::setDestination(const QString &folder)
{
    if (!isRunning())
        destination = folder;
}

void CDRipThread::setOptions(const RipOptions &next)
{
    if (!isRunning())
        options = next;
}

void CDRipThread::cancel()
{
    running = false;
    cd.stopReading();
}

QString CDRipThread::openFailure() const
{
    // Permission is the usual reason a drive that exists won't open.
    const QString problem = FileNames::isFile(driveId) ? QString() : Drives::accessProblem(driveId);
    return problem.isEmpty() ? "Cannot open CD drive " + driveId : problem;
}

QString CDRipThread::outputFolder() const
{
    if (destination.isEmpty())
        return makeRipFolder(Folders::tempFolder());
    return QDir().mkpath(destination) ? QDir::toNativeSeparators(destination) : QString();
}

void CDRipThread::run()
{
    const int count = int(trackList.size());
    emit ripStarted(count);
    if (!cd.openDrive(driveId)) {
        emit error(openFailure());
        return;
    }
    if (!cd.lockTray()) {
        emit error("Cannot lock CD drive " + driveId);
        return;
    }
    const QString folder = outputFolder();
    if (folder.isEmpty()) {
        cd.unlockTray();
        cd.closeDrive();
        emit error("Cannot create a folder for the tracks in "
                   + (destination.isEmpty() ? Folders::tempFolder() : destination));
        return;
    }
    const CdText &text = cd.cdText();
    logPath = folder + Folders::separator() + ripLogName;
    logHeader = ripLogHeader({sourceText(driveId), options, musicBrainzDiscId(cd.toc()), freedbDiscId(cd.toc()),
                              text.title, text.performer});
    for (int i = 1; i <= count && running; ++i) {
        emit startedFile(i);
        const uint number = trackList.at(i - 1).toUInt();
        const int index = int(number) - 1;
        const QString path = trackFile(folder, number, text.trackTitle(index));
        QString why;
        TrackRip rip;
        const bool extracted = number > 0 && cd.extractTrack(uint(index), path, options, &rip, &why);
        if (!extracted || !running) {
            // A failed or cut-off track is no file to keep; one that a user
            // or another run holds at that name stays.
            OwnFiles::remove(path);
            if (!extracted) {
                rip.number = int(number);
                rip.file = path;
                log(ripLogTrack(rip, text.trackTitle(index), text.trackPerformer(index), why));
                emit error("Cannot extract track " + trackList.at(i - 1) + (why.isEmpty() ? "" : ": " + why));
            }
            continue;
        }
        log(ripLogTrack(rip, text.trackTitle(index), text.trackPerformer(index)));
        // Handed on: no longer ours to remove.
        OwnFiles::forget(path);
        emit trackRipped(rip);
        emit finishedFile(path);
    }
    if (logFile >= 0)
        ::close(logFile);
    logFile = -1;
    logHeader.clear();
    if (!cd.unlockTray()) {
        emit error("Cannot unlock CD drive " + driveId);
        return;
    }
    cd.closeDrive();
    if (running)
        emit ripComplete();
    else
        emit error("Ripping was cancelled.");
}

// The log is made with the first track's entry: a rip stopped before any
// track ends leaves nothing behind.
void CDRipThread::log(const QString &text)
{
    if (!logHeader.isEmpty()) {
        QString problem;
        logFile = OwnFiles::createFile(logPath, &problem);
        if (logFile < 0)
            emit error("Cannot write " + logPath + ": " + problem);
        OwnFiles::forget(logPath);
        const QString header = logHeader;
        logHeader.clear();
        log(header);
    }
    const QByteArray bytes = FileNames::encode(text);
    if (logFile >= 0 && !OwnFiles::writeAll(logFile, bytes.constData(), bytes.size())) {
        ::close(logFile);
        logFile = -1;
    }
}

QString CDRipThread::trackFile(const QString &folder, uint number, const QString &title)
{
    return folder + Folders::separator() + trackFileName(int(number), title);
}

QString CDRipThread::sourceText(const QString &drive)
{
    if (FileNames::isFile(drive))
        return drive;
    const QString model = Drives::identification(drive).simplified();
    return model.isEmpty() ? drive : drive + " (" + model + ")";
}
