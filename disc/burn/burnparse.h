#pragma once

#include <QDateTime>
#include <QString>

// What the burner reads in the disc tools' text, each a pure function from
// the text (one poll's worth, or a whole answer) to a small value.
namespace BurnParse {

// dvdauthor: megabytes processed (" at NNMB") give 0 to 10 against the run's
// total; a percentage (", NN%") gives 10 to 20. -1 when the text says
// neither, or when the total is too small to measure megabytes against.
int authoringProgress(const QString &text, qint64 totalBytes);

// genisoimage making an image ("NN.NN% done, estimate finish DATE"), or
// growisofs writing one ("N/M (NN.N%) @4.0x, remaining M:SS ...").
struct IsoReport {
    int percent = -1;      // 0 to 100 of the image made or written; -1 when none
    bool closing = false;  // all is out: "Total translation table size:", "flushing cache"
    QString timeLeft;      // "Time remaining: mm:ss (approx.)", or "" when none
};
IsoReport isoReport(const QString &text, const QDateTime &now);
// The time left until the last "estimate finish" moment, or "".
QString timeRemaining(const QString &text, const QDateTime &now);

// cdrecord-style burners (cdrskin, wodim), their standard output.
struct CdReport {
    int trackCount = -1;   // from the summary ("Track NN: ..." before "Total size:")
    bool fixating = false; // "Fixating..."
    bool hasTrack = false; // a progress line: "Track NN:  WW of  SS MB written"
    int track = 0;
    int written = 0;
    int size = 0;
};
CdReport cdReport(const QString &text);
// 0 to 99 over the whole disc, each track an equal share; -1 when the
// track count isn't known yet or the line carries no progress.
int cdProgress(int track, int written, int size, int trackCount);

// The answer of a disc check: "" when the disc is fit, else what to tell the user.
// dvd+rw-mediainfo's "Disc status:" and "Free Blocks:".
QString dvdVerdict(const QString &mediaInfo, int seconds);
// The CD-state tool's "DISC_STATUS=" and last "FREE_SECONDS=" lines; no answer fails.
QString cdVerdict(const QString &cdState, int seconds, const QString &driveRoot);

// The line to show for a tool that failed: its last error (dvdauthor's
// "ERR:" lines, joined), else its last line with any text.
QString lastErrorLine(const QString &text);

} // namespace BurnParse
