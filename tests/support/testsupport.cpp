#include "support/testsupport.h"

#include <QTreeWidget>

#include <fcntl.h>
#include <signal.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

ScratchProduct::ScratchProduct(bool withCatalogue)
    : m_previous(qgetenv("appdata"))
{
    QCoreApplication::setApplicationName("MediaForgeStudio");
    QCoreApplication::setApplicationVersion("0.1");
    qputenv("appdata", m_dir.path().toLocal8Bit());
    QDir().mkpath(temp());
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

StandIn::StandIn(const QByteArray &mode, const QString &folder)
    : PathPrefix(testData("stand-ins/" + (mode == "missing" || mode == "unstartable" ? mode : "scripted")), true)
    , m_folder(folder)
{
    qputenv("MFS_FAKE_MODE", mode);
    qputenv("MFS_FAKE_DIR", QFile::encodeName(folder));
}

StandIn::~StandIn()
{
    qunsetenv("MFS_FAKE_MODE");
    qunsetenv("MFS_FAKE_DIR");
}

bool StandIn::alive(const QString &tool) const
{
    return processAlive(m_folder + "/" + tool + ".pid");
}

QString testData(const QString &relative)
{
    return QString(MFS_TEST_DATA) + "/" + relative;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool processAlive(const QString &pidFile)
{
    const qint64 pid = readFile(pidFile).trimmed().toLongLong();
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

bool runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool ffmpeg(const QStringList &args)
{
    // Found once, before a test leaves only stand-ins on PATH.
    static const QString program = QStandardPaths::findExecutable("ffmpeg");
    return runTool(program, QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + args);
}

bool lavfi(const QString &path, const QStringList &sources, const QStringList &options)
{
    QStringList args;
    for (const QString &source : sources)
        args << "-f" << "lavfi" << "-i" << source;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return ffmpeg(args + options + QStringList{path});
}

QString streams(const QString &path)
{
    QProcess p;
    p.start("ffprobe", {"-v", "error", "-show_entries", "stream=codec_name:format=duration", "-of",
                        "default=nw=1:nk=1", path});
    p.waitForFinished(30000);
    return QString(p.readAllStandardOutput()).simplified();
}

QStringList tickedRows(const QTreeWidget *tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = tree->topLevelItem(i);
        out << (row->checkState(0) == Qt::Checked ? "x " : "- ") + row->text(1) + " " + row->text(2);
    }
    return out;
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
