#include "disc/dvd/rippertext.h"

#include "media/clocktext.h"

DvdTitles parseDvdListing(const QString &output)
{
    DvdTitles titles;
    const int announced = output.indexOf("TITLES:");
    bool ok = false;
    const int count = announced < 0 ? 0 : output.mid(announced + 8, 2).trimmed().toInt(&ok);
    if (!ok || count <= 0)
        return titles;
    qint64 longestSeconds = 0;
    for (int t = 1; t <= count; ++t) {
        qint64 length = -1;
        const int entry = output.indexOf(QString("TITLE_%1").arg(t, 2, 10, QChar('0')));
        if (entry >= 0) {
            // Only the title's own entry counts: a missing value must not
            // take the next title's.
            int next = output.indexOf("TITLE_", entry + 6);
            if (next < 0)
                next = output.size();
            int value = output.indexOf("LENGTH", entry);
            const int end = value < 0 ? -1 : output.indexOf('\n', value + 14);
            if (value >= 0 && value < next && end >= 0) {
                value += 14;
                const qint64 ms = output.mid(value, end - value).trimmed().toLongLong(&ok);
                if (ok && ms >= 0)
                    length = ms;
            }
        }
        titles.lengths << length;
        const qint64 seconds = length < 0 ? -1 : length / 1000;
        if (titles.longest < 0 || seconds > longestSeconds) {
            titles.longest = t - 1;
            longestSeconds = seconds;
        }
    }
    return titles;
}

QString dvdLengthText(qint64 milliseconds)
{
    return clockText(milliseconds < 0 ? 0 : milliseconds / 1000);
}

int parseRipProgress(const QString &chunk)
{
    const int percent = chunk.lastIndexOf('%');
    if (percent < 0)
        return -1;
    const int from = qMax(0, percent - 3);
    QString number = chunk.mid(from, percent - from);
    number.remove(QChar('\b'));
    bool ok = false;
    const int value = number.trimmed().toInt(&ok);
    return ok ? qBound(0, value, 100) : 0;
}

int overallRipProgress(int index, int count, int percent)
{
    if (count <= 0)
        return 0;
    return int(100.0 / count * index + percent / count);
}
