#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

ScratchProduct::ScratchProduct(bool withCatalogue)
    : m_previous(qgetenv("appdata"))
{
    QCoreApplication::setApplicationName("MediaForgeStudio");
    QCoreApplication::setApplicationVersion("0.1");
    qputenv("appdata", m_dir.path().toLocal8Bit());
    QDir().mkpath(product());
    if (withCatalogue)
        QFile::copy(MFS_TEST_CATALOGUE, catalogue());
    QFile(catalogue()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

ScratchProduct::~ScratchProduct()
{
    qputenv("appdata", m_previous);
}

QString ScratchProduct::product() const
{
    return m_dir.path() + "/" + QCoreApplication::applicationName();
}

QString ScratchProduct::temp() const
{
    return product() + "/temp/";
}

QString ScratchProduct::catalogue() const
{
    return product() + "/data.db";
}

PromptRecorder::PromptRecorder()
{
    Prompts::setBoxHandler([this](const Prompts::Box &box) {
        boxes << box;
        if (!answers.isEmpty())
            return answers.takeFirst();
        return box.buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
    });
    Prompts::setOpenFilesHandler([this](const QString &caption, const QString &, const QString &) {
        dialogCaptions << caption;
        return fileAnswers.isEmpty() ? QStringList() : fileAnswers.takeFirst();
    });
    Prompts::setFolderHandler([this](const QString &caption, const QString &) {
        dialogCaptions << caption;
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    });
    Prompts::setSaveFileHandler([this](const QString &caption, const QString &, const QString &) {
        dialogCaptions << caption;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    });
}

PromptRecorder::~PromptRecorder()
{
    Prompts::setBoxHandler({});
    Prompts::setOpenFilesHandler({});
    Prompts::setFolderHandler({});
    Prompts::setSaveFileHandler({});
}

QStringList PromptRecorder::texts() const
{
    QStringList list;
    for (const Prompts::Box &b : boxes)
        list << b.text;
    return list;
}

PathPrefix::PathPrefix(const QString &folder, bool alone)
    : m_previous(qgetenv("PATH"))
{
    qputenv("PATH", alone ? QFile::encodeName(folder) : QFile::encodeName(folder) + ":" + m_previous);
}

PathPrefix::~PathPrefix()
{
    qputenv("PATH", m_previous);
}

QString testData(const QString &relative)
{
    return QString(MFS_TEST_DATA) + "/" + relative;
}

bool setLocked(const QString &path, bool locked)
{
    if (geteuid() != 0) {
        const QString dir = QFileInfo(path).absolutePath();
        return QFile(dir).setPermissions(locked ? QFile::ReadOwner | QFile::ExeOwner
                                                : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = locked ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}
