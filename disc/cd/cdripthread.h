#pragma once

#include "disc/cd/audiocd.h"

#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <memory>

// Rips tracks of one disc into "Track N.wav" files on its own thread and
// reports by signals only. One object serves every rip of its owner's life.
class CDRipThread : public QThread
{
    Q_OBJECT
public:
    // Without a device, libcdio is used.
    explicit CDRipThread(std::unique_ptr<CdDevice> device = {}, QObject *parent = nullptr);
    // Cancels a running rip and waits for it.
    ~CDRipThread() override;

    // The drive (device node or image) and the 1-based track numbers of the
    // next rip; arms it, so that a cancel right after start is not lost.
    // Refused while a rip runs: its drive and list stay as they are.
    bool setTracks(const QString &drive, const QStringList &tracks);
    // "" (the window's case): a new rip folder in the temporary folder each
    // time; otherwise the files go straight into this folder.
    void setDestination(const QString &folder);
    // Stops after the current block of the current track. Safe from any thread.
    void cancel();

    // Where track `number` (1-based) of a rip into `folder` goes: "Track N.wav".
    static QString trackFile(const QString &folder, uint number);

signals:
    void ripStarted(int);
    void startedFile(int track);
    void progress(int percentage);
    void finishedFile(QString filename);
    void ripComplete();
    void error(QString msg);

protected:
    void run() override;

private:
    QString openFailure() const;
    QString outputFolder() const;

    std::atomic<bool> running{false};
    CAudioCD cd;
    QString driveId;
    QStringList trackList;
    QString destination;
};
