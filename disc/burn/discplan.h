#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One file on a disc, in the order the disc holds them, with what the disc
// says of it.
struct DiscItem {
    QString file;
    // Seconds of play, for a DVD's chapters; 0 when not known.
    int seconds = 0;
    // The track's CD-TEXT.
    QString title;
    QString performer;
};

// What the user chose for a disc.
struct DiscOptions {
    // The DVD's volume label or the CD's album title; "" takes the default.
    QString title;
    // A DVD chapter every this many minutes within a job, besides the one
    // where each job starts; 0 for none.
    int chapterMinutes = 5;
    // Seconds of silence before each CD track after the first: 0 or 2.
    int gapSeconds = 0;
    // Read back what was written and compare it.
    bool verify = true;
    // Files of an image that may replace what is at their names (the user
    // agreed to it).
    QStringList replaceable;
};

namespace DiscPlan {

// A DVD volume label made of `name`: upper case letters, digits and "_",
// at most 32; "DVD_VIDEO" when nothing is left.
QString volumeLabel(const QString &name);

// dvdauthor's chapter points for a job of `seconds`: its start, then one
// every `minutes` that still begins before its end ("0,5:00,10:00").
QString chapterMarks(int seconds, int minutes);

} // namespace DiscPlan
