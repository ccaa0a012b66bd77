#pragma once

#include "disc/cdtext.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// One entry of a disc's table of contents: its minute:second:frame address
// as the drive gives it (two seconds of lead-in included) and whether the
// track holds data rather than audio.
struct TocEntry {
    quint8 minute = 0;
    quint8 second = 0;
    quint8 frame = 0;
    bool data = false;
};

// First and last track number and one entry per track from the first on,
// followed by the lead-out entry.
struct CdToc {
    int firstTrack = 0;
    int lastTrack = 0;
    QList<TocEntry> entries;
};

// The requests the audio-CD reader makes of a drive or a disc image. A drive
// id is a device node ("/dev/sr0") or the path of an image file.
class CdDevice
{
public:
    enum class ReadResult {
        Ok,
        // The drive could not read the medium there (scratches, a damaged
        // disc); the reader tolerates one such error at the end of a track.
        MediumError,
        Failed,
    };

    virtual ~CdDevice() = default;

    virtual bool open(const QString &id) = 0;
    // Why the last open of an image failed, in a few words ("" when not known).
    virtual QString openProblem() const { return {}; }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Prevents (true) or allows (false) the removal of the medium.
    virtual bool setRemovalPrevented(bool prevented) = 0;
    virtual bool readToc(CdToc &toc) = 0;
    // After readToc: the disc's CD-TEXT (a cue sheet's TITLE and PERFORMER
    // lines, or its CDTEXTFILE), as far as it has any.
    virtual CdText readCdText() { return {}; }
    // `count` raw CD-DA sectors of 2352 bytes from `sector` into `buffer`.
    virtual ReadResult readAudio(quint32 sector, quint32 count, char *buffer) = 0;
    virtual bool eject() = 0;
    virtual bool load() = 0;
    // Whether a readable medium is in the drive `id`, or in the open one when
    // `id` is empty; another drive is opened only for this request.
    virtual bool mediaPresent(const QString &id) = 0;
};

using CdDeviceFactory = std::function<std::unique_ptr<CdDevice>()>;

// Drives and image files (cue/bin, cdrdao toc, nrg) through libcdio.
std::unique_ptr<CdDevice> makeLibcdioDevice();
