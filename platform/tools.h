#pragma once

#include <QByteArray>
#include <QString>

namespace Tools {

// Outside programs are looked up in the program's own folder first, then on
// PATH. Returns an empty string when the program is nowhere to be found.
QString find(const QString &name);

// Tool output is 8-bit text up to the first NUL byte.
QString toolText(const QByteArray &bytes);

} // namespace Tools
