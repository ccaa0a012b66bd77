#pragma once

#include <QList>
#include <QString>

// What the DVD tool `ripper` prints, read as the program relies on it.

// The titles of `ripper SOURCE`.
struct DvdTitles {
    // Milliseconds per title, title 1 first; -1 where the output has no
    // entry or no value for the title.
    QList<qint64> lengths;
    // Index of the title to tick: the longest, the earlier of equal ones;
    // -1 when there are no titles.
    int longest = -1;
};

// The count is the two characters eight after "TITLES:"; each title's length
// is the number fourteen after the "LENGTH" of its own "TITLE_tt" entry, up
// to a line feed. A title without both shows as unknown.
DvdTitles parseDvdListing(const QString &output);

// "hh:mm:ss" of a listed length; an unknown one shows as "00:00:00".
QString dvdLengthText(qint64 milliseconds);

// The percentage in one chunk of a rip's output: the three characters before
// the last "%", backspaces removed; 0 when they are no number, -1 when the
// chunk has no "%".
int parseRipProgress(const QString &chunk);

// The whole rip's percentage while title `index` (0-based) of `count` is at
// `percent`: each title moves the bar by its share in steps of percent / count.
int overallRipProgress(int index, int count, int percent);
