#pragma once

// What every benchmark here measures with.

#include <QElapsedTimer>
#include <QList>
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

} // namespace bench
