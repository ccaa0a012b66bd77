#include "disc/burn/stagingfolder.h"

#include "platform/filenames.h"
#include "platform/ownfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <limits>
#include <sys/stat.h>

namespace StagingFolder {

namespace {

// A process's start time, field 22 of its stat record; the name before it
// may hold spaces and brackets, so the fields are counted after its last ")".
// -1 when there is no such process, 0 when it can't be told.
qint64 startTime(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH ? -1 : 0;
    const QByteArray record = stat.readAll();
    const QList<QByteArray> fields = record.mid(record.lastIndexOf(')') + 1).simplified().split(' ');
    // After the name: state is field 3, so the start time is the 20th here.
    bool ok = false;
    const qint64 start = fields.value(19).toLongLong(&ok);
    return ok ? start : 0;
}

const QRegularExpression &ownedName()
{
    static const QRegularExpression name("^\\.burn-(\\d+)-(\\d+)-[A-Za-z0-9]{6}$");
    return name;
}

bool ownerGone(qint64 pid, qint64 start)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    const qint64 now = startTime(pid);
    // A process that can't be looked into is taken to be the owner.
    return now < 0 || (now > 0 && start > 0 && now != start);
}

} // namespace

QString create(const QString &tempFolder, QString *error)
{
    const qint64 self = QCoreApplication::applicationPid();
    const QString prefix = QDir(tempFolder).filePath(QString(".burn-%1-%2-").arg(self).arg(startTime(self)));
    static const QString letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int tries = 0; tries < 100; ++tries) {
        QString path = prefix;
        for (int i = 0; i < 6; ++i)
            path += letters.at(int(QRandomGenerator::global()->bounded(letters.size())));
        if (OwnFiles::createFolder(path, error)) {
            // The user's media are copied in here.
            ::chmod(FileNames::encode(path).constData(), 0700);
            return QDir::toNativeSeparators(path);
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

int sweep(const QString &tempFolder)
{
    const QDir temp(tempFolder);
    int removed = 0;
    for (const QString &name : temp.entryList({".burn-*"}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks)) {
        const QRegularExpressionMatch owner = ownedName().match(name);
        if (!owner.hasMatch() || !ownerGone(owner.captured(1).toLongLong(), owner.captured(2).toLongLong()))
            continue;
        // Its owner is gone and it is left to no one: removed as our own,
        // links inside as links.
        const QString path = temp.filePath(name);
        if (OwnFiles::adopt(path) && OwnFiles::remove(path))
            ++removed;
        OwnFiles::forget(path);
    }
    return removed;
}

} // namespace StagingFolder
