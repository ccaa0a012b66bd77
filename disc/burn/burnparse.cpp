#include "disc/burn/burnparse.h"

#include "disc/burn/burntools.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace BurnParse {

namespace {

// The text from `from` up to (not including) `to`, or to the end when `to`
// is before it.
QString between(const QString &text, int from, int to)
{
    if (from < 0 || from > text.size())
        return {};
    if (to < from)
        to = text.size();
    return text.mid(from, to - from).trimmed();
}

// Tools may print numbers of any size: callers bound them before they take
// an int of them.
double number(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

QString minutesAndSeconds(qint64 s)
{
    return QString("Time remaining: %1:%2 (approx.)").arg(s / 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

// An integer read from a fixed field, 0 when it isn't one.
int field(const QString &text, int at, int width)
{
    return text.mid(at, width).trimmed().toInt();
}

} // namespace

int authoringProgress(const QString &text, qint64 totalBytes)
{
    if (text.contains('%')) {
        const int from = text.lastIndexOf(", ");
        const int to = text.lastIndexOf('%');
        const double value = from < 0 || to < from ? 0 : number(between(text, from + 2, to));
        if (value == 0)
            return -1;
        return int(10 + std::clamp(value, 0.0, 100.0) * 0.1);
    }
    const int from = text.lastIndexOf(" at ");
    const int to = text.lastIndexOf("MB");
    const double value = from < 0 || to < from ? 0 : number(between(text, from + 4, to));
    // Under one megabyte in all there is nothing to measure against.
    const qint64 totalMb = totalBytes / 1048576;
    if (value == 0 || totalMb <= 0)
        return -1;
    return int(std::clamp(value / double(totalMb), 0.0, 1.0) * 10);
}

QString timeRemaining(const QString &text, const QDateTime &now)
{
    const QString marker = "estimate finish ";
    const int at = text.lastIndexOf(marker);
    if (at < 0)
        return {};
    // ctime() pads a one-digit day with a second blank ("Sun Dec  6 ...").
    const QString stamp = text.mid(at + marker.size(), 24).simplified();
    const QDateTime finish = QLocale::c().toDateTime(stamp, "ddd MMM d hh:mm:ss yyyy");
    const qint64 s = finish.isValid() ? now.secsTo(finish) : 0;
    if (s <= 0)
        return {};
    return minutesAndSeconds(s);
}

IsoReport isoReport(const QString &text, const QDateTime &now)
{
    IsoReport report;
    const int done = text.lastIndexOf("% done");
    const int written = text.lastIndexOf("%) @");
    double value = 0;
    if (done > written) {
        value = number(text.mid(std::max(0, done - 6), std::min(6, done)).trimmed());
    } else if (written >= 0) {
        const int open = text.lastIndexOf('(', written);
        value = open < 0 ? 0 : number(between(text, open + 1, written));
    }
    if (value != 0)
        report.percent = int(std::trunc(std::clamp(value, 0.0, 100.0)));
    if (text.contains("Total translation table size:") || text.contains("flushing cache")) {
        report.closing = true;
    } else if (done > written) {
        if (text.contains("estimate finish"))
            report.timeLeft = timeRemaining(text, now);
    } else if (written >= 0) {
        // "remaining 7:10"; "??:??" before the first estimate.
        static const QRegularExpression left("remaining (\\d{1,4}):(\\d\\d)");
        QRegularExpressionMatch m;
        if (text.lastIndexOf(left, -1, &m) >= 0) {
            const qint64 s = m.captured(1).toLongLong() * 60 + m.captured(2).toInt();
            if (s > 0)
                report.timeLeft = minutesAndSeconds(s);
        }
    }
    return report;
}

CdReport cdReport(const QString &text)
{
    CdReport report;
    const int total = text.indexOf("Total size:");
    if (total >= 0) {
        const int track = text.lastIndexOf("Track ", total);
        report.trackCount = track < 0 ? 0 : field(text, track + 6, 2);
        return report;
    }
    if (text.contains("Fixating...")) {
        report.fixating = true;
        return report;
    }
    const int track = text.lastIndexOf("Track");
    if (track >= 0) {
        report.hasTrack = true;
        report.track = field(text, track + 6, 2);
        report.written = field(text, track + 9, 5);
        report.size = field(text, track + 17, 5);
    }
    return report;
}

int cdProgress(int track, int written, int size, int trackCount)
{
    if (track <= 0 || size <= 0 || trackCount <= 0)
        return -1;
    const double share = std::trunc(99.0 * written / size / trackCount);
    return int(std::clamp(99.0 * (track - 1) / trackCount + share, 0.0, 99.0));
}

QString dvdVerdict(const QString &mediaInfo, int seconds)
{
    const int status = mediaInfo.indexOf("Disc status:");
    if (status < 0 || between(mediaInfo, status + 12, mediaInfo.indexOf('\n', status)) != "blank")
        return "Please insert a blank DVD into the selected drive";
    if (seconds <= 7200)
        return {};
    const int free = mediaInfo.indexOf("Free Blocks:");
    const qulonglong blocks =
        free < 0 ? 0 : between(mediaInfo, free + 12, mediaInfo.indexOf('*', free)).toULongLong();
    // More than a single layer's 2 297 888 blocks: a dual-layer disc.
    if (2 * blocks > 4595776 && seconds <= 12600)
        return {};
    return "The disc is not large enough.\n\nA Single Layer disc can hold 2 hours of video\n"
           "while a Dual Layer disc can hold 3.5 hours.";
}

QString cdVerdict(const QString &cdState, int seconds, const QString &driveRoot)
{
    // Silence is no answer: the disc must not pass unchecked.
    if (cdState.trimmed().isEmpty())
        return "The CD in drive " + driveRoot + " could not be checked: " + BurnTools::cdState + " gave no answer.";
    if (!cdState.contains("DISC_STATUS"))
        return cdState;
    if (!cdState.contains("DISC_STATUS=BLANK"))
        return "The CD in drive " + driveRoot + " is not blank";
    const int marker = cdState.indexOf("FREE_SECONDS");
    const int freeSeconds =
        marker < 0 ? 0 : between(cdState, marker + 13, cdState.lastIndexOf('\n')).toInt();
    if (seconds < freeSeconds)
        return {};
    return "The disc in drive " + driveRoot + " is not large enough.";
}

QString lastErrorLine(const QString &text)
{
    const QStringList lines = text.split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
    QStringList error;
    QString last;
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        QString trimmed = line->trimmed();
        // dvdauthor wraps a long error over several "ERR:" lines; one that
        // says nothing more doesn't count.
        const bool err = trimmed.startsWith("ERR:");
        if (err)
            trimmed = trimmed.mid(4).trimmed();
        if (trimmed.isEmpty())
            continue;
        if (err)
            error.prepend(trimmed);
        else if (!error.isEmpty())
            break;
        else if (last.isEmpty())
            last = trimmed;
    }
    return error.isEmpty() ? last : error.join(' ');
}

} // namespace BurnParse
