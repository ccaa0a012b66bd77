#include "platform/textlog.h"

#include <QFile>

void appendLogLine(const QString &file, const QString &text)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    f.write(text.trimmed().toLocal8Bit());
    f.write("\n");
}
