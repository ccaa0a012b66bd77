#pragma once

#include "disc/cd/audiocd.h"

#include <QString>

// rip.log, written beside a rip's files: where the disc came from, how it
// was read, its ids and CD-TEXT, and per track its sectors, checksums and
// troubles. Plain text in a fixed layout, "Key: value" lines; the tags of
// a ripped file are read back from it when the file is converted.

inline const QString ripLogName = "rip.log";

struct RipLogDisc {
    QString source; // the drive with its model, or the image's path
    RipOptions options;
    QString musicBrainzId;
    QString freedbId;
    QString album;
    QString performer;
};

QString ripLogHeader(const RipLogDisc &disc);
// One track's entry; `failure` says why a track was not ripped.
QString ripLogTrack(const TrackRip &rip, const QString &title, const QString &performer,
                    const QString &failure = {});

// What a converted track is tagged with; empty when the disc had no CD-TEXT.
struct TrackTags {
    QString title;
    QString artist;
    QString album;
    QString albumArtist;
    int track = 0;

    bool isEmpty() const { return title.isEmpty() && album.isEmpty() && artist.isEmpty(); }
};

// The tags of the file named `fileName` in a rip log's text.
TrackTags tagsInRipLog(const QString &log, const QString &fileName);
// The tags of a ripped file, from the rip.log beside it.
TrackTags ripTags(const QString &wavPath);
// Copies the rip.log in `fromFolder` (which ends with its separator) into
// `toFolder`, unless a rip.log is there already; false when none was copied.
bool copyRipLog(const QString &fromFolder, const QString &toFolder);
