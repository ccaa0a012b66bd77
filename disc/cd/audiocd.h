#pragma once

#include "disc/cd/cddevice.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QMetaType>
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

// How a track is read. Fast: each block once, a damaged spot at the end of
// a track tolerated. Secure: through libcdio-paranoia (see SecureReader).
// The read offset, in samples, shifts what is read by reading into the
// neighbouring sectors (zeros beyond the disc's audio). Test and copy
// reads every track twice and compares the two.
struct RipOptions {
    enum class Mode { Fast, Secure };
    Mode mode = Mode::Fast;
    int offset = 0;
    bool testAndCopy = false;
    int retries = 20;
};

// What the rip of one track found: its sectors, checksums and troubles.
struct TrackRip {
    int number = 0;
    QString file;
    quint32 firstSector = 0;
    quint32 lastSector = 0;
    quint32 crc32 = 0;
    quint32 accurateRipV1 = 0;
    quint32 accurateRipV2 = 0;
    int rereads = 0;
    int unrecoverable = 0;
    // Test and copy: the two reads differed.
    bool mismatch = false;

    bool clean() const { return unrecoverable == 0 && !mismatch; }
};
Q_DECLARE_METATYPE(TrackRip)

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
    // The same as the options say, with what the rip found in `rip`.
    bool extractTrack(uint index, const QString &path, const RipOptions &options, TrackRip *rip,
                      QString *error = nullptr);
    // Of the open disc: its table of contents and CD-TEXT.
    const CdToc &toc() const { return m_toc; }
    const CdText &cdText() const { return m_text; }
    // Safe from any thread.
    void stopReading() { reading = false; }

signals:
    void fileProgress(int);

private:
    struct Pass;
    bool readPass(Pass &pass);
    // The end of the disc's last audio track: nothing is read beyond it.
    quint32 audioEnd() const;

    std::atomic<bool> reading{false};
    std::unique_ptr<CdDevice> device;
    QList<TrackInfo> tracks;
    CdToc m_toc;
    CdText m_text;
};
