#pragma once

#include <QString>

// Appends one trimmed line to a log file, opening and closing it each time so
// that a crash loses nothing. A file that can't be opened loses the line.
void appendLogLine(const QString &file, const QString &text);
