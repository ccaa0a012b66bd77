#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// An audio CD as a BIN/CUE pair: the tracks' samples back to back in raw
// 2352-byte sectors, and a cue sheet with one AUDIO track per file.
namespace CueImage {

const int sectorBytes = 2352;

// Where a CD-audio WAV file (PCM, 44.1 kHz, 16-bit, stereo) keeps its samples.
struct Payload {
    qint64 offset = 0;
    qint64 size = 0;
};
// False, with the reason, when the file is not such a WAV file.
bool wavPayload(QIODevice &wav, Payload *payload, QString *error);

// The cue sheet for tracks of these lengths in sectors, all in `binName`.
QString cueSheet(const QString &binName, const QList<qint64> &trackSectors);

// Writes the WAV files' samples, each track padded with silence to whole
// sectors, into `binPath` and the cue sheet naming `binName` into
// `cuePath`. `progress` hears 0 to 100 as the data is written; its false
// stops the writing (false with no reason).
bool write(const QStringList &wavFiles, const QString &binPath, const QString &cuePath,
           const QString &binName, QString *error, const std::function<bool(int)> &progress = {});

} // namespace CueImage
