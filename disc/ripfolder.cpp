#include "disc/ripfolder.h"

#include <QDateTime>
#include <QDir>

QString makeRipFolder(const QString &tempFolder)
{
    QDir temp(tempFolder);
    if (!temp.mkpath("."))
        return {};
    // mkdir fails on a folder that exists: the claim is atomic.
    for (qint64 n = QDateTime::currentSecsSinceEpoch(), tries = 0; tries < 1000; ++n, ++tries) {
        const QString name = QString::number(n);
        if (temp.mkdir(name))
            return QDir::toNativeSeparators(temp.absoluteFilePath(name));
        if (!temp.exists(name))
            return {};
    }
    return {};
}
