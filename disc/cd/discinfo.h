#pragma once

#include "disc/cd/cddevice.h"

#include <QString>
#include <QStringList>

// What a disc says of itself and what it is known by: its CD-TEXT, its
// MusicBrainz disc id and freedb id (both from the table of contents), and
// the names the rip gives its files and the converted album's folder.

// The entry's address in sectors, the two seconds of lead-in included.
int tocFrames(const TocEntry &entry);

// The MusicBrainz disc id of the audio session: data tracks after the last
// audio track are left out, and so is the gap before them.
QString musicBrainzDiscId(const CdToc &toc);
// The freedb (CDDB) id of every track, as 8 lowercase hex digits.
QString freedbDiscId(const CdToc &toc);

// A title as a part of a file name: no separators or control characters,
// no blanks or dots at the ends; "" when nothing is left.
QString fileNamePart(const QString &text);
// "NN Title.wav" when the track has a title, else "Track N.wav".
QString trackFileName(int number, const QString &title);
// "Performer - Album", "Album" without a performer, "" without an album title.
QString albumFolderName(const QString &performer, const QString &album);
