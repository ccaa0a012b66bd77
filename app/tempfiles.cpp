#include "app/tempfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TempFiles {

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

namespace {

bool inside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + "/");
}

// The path, without any "..", must stay in the temporary folder, and so must
// the real folder holding it (a linked folder could lead anywhere). Gives the
// cleaned path to work on, or "" when the path is refused.
QString safeTarget(const QString &path, const QString &tempFolder)
{
    const QString temp = QDir::cleanPath(QFileInfo(tempFolder).absoluteFilePath());
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!inside(target, temp))
        return QString();
    if (target == temp)
        return target;
    const QString realTemp = QFileInfo(temp).canonicalFilePath();
    const QString realParent = QFileInfo(QFileInfo(target).absolutePath()).canonicalFilePath();
    return !realTemp.isEmpty() && inside(realParent, realTemp) ? target : QString();
}

} // namespace

bool remove(const QString &path, const QString &tempFolder)
{
    const QString native = QDir::toNativeSeparators(path);
    if (!native.contains(tempFolder))
        return false;
    const QString target = safeTarget(native, tempFolder);
    if (target.isEmpty())
        return false;

    const QFileInfo info(target);
    if (info.isDir() && !info.isSymLink()) {
        const QString folder = info.absoluteFilePath();
        for (const QString &entry : listing(folder))
            remove(folder + "/" + entry, tempFolder);
        return QDir().rmdir(folder);
    }
    if (!info.exists() && !info.isSymLink())
        return false;

    QDeadlineTimer deadline(1000, Qt::PreciseTimer);
    for (;;) {
        if (deadline.hasExpired())
            return false;
        if (QFile::remove(target))
            return true;
    }
}

} // namespace TempFiles
