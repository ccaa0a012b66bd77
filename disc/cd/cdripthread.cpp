#include "disc/cd/cdripthread.h"

#include "disc/drives.h"
#include "disc/ripfolder.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"

#include <QDir>
#include <QFileInfo>

CDRipThread::CDRipThread(std::unique_ptr<CdDevice> device, QObject *parent)
    : QThread(parent)
    , cd(QString(), std::move(device))
{
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
    for (int i = 1; i <= count && running; ++i) {
        emit startedFile(i);
        const uint number = trackList.at(i - 1).toUInt();
        const QString path = trackFile(folder, number);
        QString why;
        const bool extracted = number > 0 && cd.extractTrack(number - 1, path, &why);
        if (!extracted || !running) {
            // A failed or cut-off track is no file to keep; one that a user
            // or another run holds at that name stays.
            OwnFiles::remove(path);
            if (!extracted)
                emit error("Cannot extract track " + trackList.at(i - 1) + (why.isEmpty() ? "" : ": " + why));
            continue;
        }
        // Handed on: no longer ours to remove.
        OwnFiles::forget(path);
        emit finishedFile(path);
    }
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

QString CDRipThread::trackFile(const QString &folder, uint number)
{
    return folder + Folders::separator() + "Track " + QString::number(number) + ".wav";
}
