#pragma once

// What every benchmark here measures with.

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace bench {

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

inline double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

inline double seconds(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e9;
}

// Runs ffmpeg to its end, its output unread.
inline void ffmpeg(const QStringList &args)
{
    QProcess p;
    p.start("ffmpeg", args);
    p.closeWriteChannel();
    p.waitForFinished(-1);
}

// The peak resident memory in KiB: since the last reset when `reset` is
// false, and with `reset` the count starts again (answering 0).
inline long peakKib(bool reset = false)
{
    if (reset) {
        QFile clear("/proc/self/clear_refs");
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        return 0;
    }
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly | QIODevice::Text);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace bench
