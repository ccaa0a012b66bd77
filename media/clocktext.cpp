#include "media/clocktext.h"

#include <algorithm>

int clockSeconds(const QString &t)
{
    if (t.size() < 8 || t.at(2) != ':' || t.at(5) != ':')
        return -1;
    bool okH, okM, okS;
    const int h = t.mid(0, 2).toInt(&okH);
    const int m = t.mid(3, 2).toInt(&okM);
    const int s = t.mid(6, 2).toInt(&okS);
    if (!okH || !okM || !okS || h < 0 || m < 0 || s < 0)
        return -1;
    return h * 3600 + m * 60 + s;
}

QString clockText(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    return QString("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar('0'))
        .arg(seconds / 60 % 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'));
}

QString shortClockText(qint64 seconds)
{
    seconds = std::max<qint64>(0, seconds);
    const QString rest = QString(":%1").arg(seconds % 60, 2, 10, QChar('0'));
    if (seconds < 3600)
        return QString::number(seconds / 60) + rest;
    return QString("%1:%2").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar('0')) + rest;
}
