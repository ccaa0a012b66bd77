#pragma once

#include <QString>

// Durations travel as "hh:mm:ss" text; this is the one reading and writing of it.

// Seconds of an "hh:mm:ss" text (hours may run past 99), or -1 when the text
// is not such a time.
int clockSeconds(const QString &hhmmss);
// "hh:mm:ss" of whole seconds, each field two digits at least.
QString clockText(qint64 seconds);
// "4:05", or "1:02:03" from an hour on: a length or a time left as people
// read it (negative seconds count as none).
QString shortClockText(qint64 seconds);
