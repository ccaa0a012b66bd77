#pragma once

#include "disc/burn/cdtext.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// An audio CD as a BIN/CUE pair: the tracks' samples back to back in raw
// 2352-byte sectors (silence between them when there are gaps), and a cue
// sheet with one AUDIO track per file and the disc's CD-TEXT.
namespace CueImage {

const int sectorBytes = 2352;

// Where a CD-audio WAV file (PCM, 44.1 kHz, 16-bit, stereo) keeps its samples.
struct Payload {
    qint64 offset = 0;
    qint64 size = 0;
};
// False, with the reason, when the file is not such a WAV file.
bool wavPayload(QIODevice &wav, Payload *payload, QString *error);

// What goes on the disc besides the samples: its CD-TEXT and the sectors of
// silence before each track after the first (an INDEX 00 of the track).
struct Extras {
    CdText text;
    int gapSectors = 0;
};

// The cue sheet for tracks of these lengths in sectors, all in `binName`.
QByteArray cueSheet(const QString &binName, const QList<qint64> &trackSectors, const Extras &extras = {});

// Writes the WAV files' samples, each track padded with silence to whole
// sectors, into the open file `bin`, and the cue sheet naming `binName` into
// the open file `cue`. `progress` hears 0 to 100 as the data is written; its
// false stops the writing (false with no reason).
bool write(const QStringList &wavFiles, int bin, int cue, const QString &binName, QString *error,
           const std::function<bool(int)> &progress = {}, const Extras &extras = {});

// Why a cue sheet can't name the data file `binName`: it holds a double
// quote, a line break or another control character; "" when it can.
QString nameProblem(const QString &binName);

} // namespace CueImage
