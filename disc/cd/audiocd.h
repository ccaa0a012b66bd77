#pragma once

#include "disc/cd/cddevice.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

// One track of the table of contents, in sectors of 2352 bytes.
struct TrackInfo {
    quint32 firstSector = 0;
    quint32 sectors = 0;
    // Data tracks (the last track of an enhanced CD) are listed but never
    // read as audio: their bytes would play as loud noise.
    bool audio = true;
};

// Reads an audio CD's tracks into WAV files, 16-bit stereo at 44 100 Hz,
// through a drive or disc image. Tracks are addressed by index from 0.
class CAudioCD : public QObject
{
    Q_OBJECT
public:
    static constexpr quint32 sectorBytes = 2352;
    static constexpr quint32 sectorsPerSecond = 75;
    // The two seconds of lead-in counted in every table-of-contents address.
    static constexpr quint32 addressOffset = 150;
    static constexpr quint32 blockSectors = 20;

    // Opens `drive` when one is given. Without a device, libcdio is used.
    explicit CAudioCD(const QString &drive = {}, std::unique_ptr<CdDevice> device = {});
    ~CAudioCD() override;

    // True when the drive is open, locked once and holds at least one track.
    // With no track the drive stays open and locked until closeDrive().
    bool openDrive(const QString &drive);
    void closeDrive();
    bool isOpen() const;
    // -1 when not open.
    int trackCount() const;
    // -1 when not open or no such track.
    int trackSeconds(uint index) const;
    int trackBytes(uint index) const;
    bool isAudioTrack(uint index) const;
    bool lockTray();
    bool unlockTray();
    bool ejectTray();
    bool loadTray();
    // The open drive when `drive` is empty.
    bool isMediaPresent(const QString &drive = {});
    // The whole track in memory; `buffer` is emptied on failure.
    bool readTrack(uint index, QByteArray &buffer);
    // Whether some audio track has samples (an image's data may end first).
    bool holdsAudio() const;
    // After openDrive(image): why the disc image can't be ripped (it can't
    // be read, and the cause, or it holds no audio), in the user's words;
    // "" when it can.
    QString imageProblem(const QString &image) const;
    // Writes the track as a new WAV file, reporting its progress after each
    // block; a name that is taken (even by a link) is refused. A stopped
    // extraction ends after its current block and counts as done, leaving a
    // file shorter than its header says. False with the reason otherwise;
    // whatever was written stays for the caller to remove.
    bool extractTrack(uint index, const QString &path, QString *error = nullptr);
    // Safe from any thread.
    void stopReading() { reading = false; }

signals:
    void fileProgress(int);

private:
    std::atomic<bool> reading{false};
    std::unique_ptr<CdDevice> device;
    QList<TrackInfo> tracks;
};
