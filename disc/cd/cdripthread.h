#pragma once

#include "disc/cd/audiocd.h"

#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <memory>

// Rips tracks of one disc into WAV files on its own thread ("NN Title.wav"
// when the disc's CD-TEXT names the track, else "Track N.wav"), with a
// rip.log beside them, and reports by signals only. One object serves
// every rip of its owner's life.
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
    // How the next rip reads (fast by default).
    void setOptions(const RipOptions &options);
    // Stops after the current block of the current track. Safe from any thread.
    void cancel();

    // Where track `number` (1-based) of a rip into `folder` goes.
    static QString trackFile(const QString &folder, uint number, const QString &title = {});
    // What the rip log names as the source: the drive with its model, or the image.
    static QString sourceText(const QString &drive);

signals:
    void ripStarted(int);
    void startedFile(int track);
    void progress(int percentage);
    // Before finishedFile: what the rip of the track found. A track that
    // is not clean is still handed on, marked.
    void trackRipped(TrackRip rip);
    void finishedFile(QString filename);
    void ripComplete();
    void error(QString msg);

protected:
    void run() override;

private:
    QString openFailure() const;
    QString outputFolder() const;
    void log(const QString &text);

    std::atomic<bool> running{false};
    CAudioCD cd;
    QString driveId;
    QStringList trackList;
    QString destination;
    RipOptions options;
    int logFile = -1;
    QString logPath;
    QString logHeader;
};
