#include "platform/folders.h"

#include "platform/filenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace Folders {

QString separator()
{
    return QString(QDir::separator());
}

QString appDataFolder()
{
    const QString fromEnv = qEnvironmentVariable("appdata");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString productFolder()
{
    return appDataFolder() + separator() + QCoreApplication::applicationName();
}

QString tempFolder()
{
    return productFolder() + separator() + "temp" + separator();
}

QString cataloguePath()
{
    return productFolder() + separator() + "data.db";
}

QString debugLogPath()
{
    return productFolder() + separator() + "log.txt";
}

static QString standardFolder(QStandardPaths::StandardLocation where)
{
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(where)) + separator();
}

QString musicFolder()
{
    return standardFolder(QStandardPaths::MusicLocation);
}

QString videoFolder()
{
    return standardFolder(QStandardPaths::MoviesLocation);
}

QString homeFolder()
{
    return QDir::homePath();
}

QString nativeAbsolute(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::toNativeSeparators(FileNames::absolute(path));
}

} // namespace Folders
