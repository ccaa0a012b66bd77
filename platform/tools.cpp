#include "platform/tools.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace Tools {

QString find(const QString &name)
{
    const QFileInfo own(QCoreApplication::applicationDirPath() + "/" + name);
    if (own.isFile() && own.isExecutable())
        return own.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

QString toolText(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

} // namespace Tools
