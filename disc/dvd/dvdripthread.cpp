#include "disc/dvd/dvdripthread.h"

#include "disc/dvd/rippertext.h"
#include "disc/ripfolder.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/textlog.h"
#include "platform/tools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

DVDRipThread::DVDRipThread(QObject *parent)
    : QThread(parent)
{
}

DVDRipThread::~DVDRipThread()
{
    running = false;
    wait();
}

void DVDRipThread::setTitles(const QString &drive, const QStringList &titles, const QString &volumeLabel,
                             const QStringList &lengths)
{
    if (isRunning())
        return;
    m_drive = drive;
    m_titleList = titles;
    m_volumeLabel = volumeLabel;
    m_lengthList = lengths;
}

void DVDRipThread::setDestination(const QString &folder)
{
    if (!isRunning())
        m_destination = folder;
}

QString DVDRipThread::fileName(const QString &volumeLabel, const QString &title)
{
    return (volumeLabel.isEmpty() ? QString("DVD") : volumeLabel) + "_Title_" + title + ".vob";
}

void DVDRipThread::run()
{
    const int count = m_titleList.size();
    running = true;
    emit ripStarted(count);
    QString folder = m_destination;
    if (folder.isEmpty())
        folder = makeRipFolder(Folders::tempFolder());
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        emit error("Cannot create a folder for the ripped titles in "
                   + (m_destination.isEmpty() ? Folders::tempFolder() : m_destination));
        return;
    }
    for (int i = 0; i < count && running; ++i) {
        emit ripTitleStarted(i + 1);
        const QString title = m_titleList.at(i);
        const QString out = QDir::toNativeSeparators(folder + "/" + fileName(m_volumeLabel, title));
        switch (ripOne(title, out, i, count)) {
        case Title::Finished:
            emit ripTitleFinished(out, m_lengthList.value(i));
            break;
        case Title::Failed:
            emit error("Cannot rip title " + title + ": " + m_failure);
            break;
        case Title::NoTool:
            // Every further title would fail the same way.
            emit error(m_toolProblem);
            return;
        case Title::Cancelled:
            break;
        }
    }
    if (running)
        emit ripComplete();
    else
        emit error("Rip was cancelled!");
}

DVDRipThread::Title DVDRipThread::ripOne(const QString &title, const QString &out, int index, int count)
{
    const QString program = Tools::find("ripper");
    if (program.isEmpty()) {
        m_toolProblem = "The DVD ripper \"ripper\" could not be found. Please reinstall MediaForgeStudio.";
        return Title::NoTool;
    }
    QProcess tool;
    Tools::start(tool, program, {m_drive, title, out});
    if (!tool.waitForStarted(30000)) {
        m_toolProblem = "The DVD ripper \"ripper\" could not be started: " + tool.errorString();
        return Title::NoTool;
    }
    tool.closeWriteChannel();
    // The tool prints its first "0%" once it has made the file, which is
    // from then on this run's own to remove.
    bool made = false;
    const auto heard = [&](const QByteArray &bytes) {
        if (!made && bytes.contains('%'))
            made = OwnFiles::adopt(out);
    };
    QElapsedTimer quiet;
    quiet.start();
    qint64 written = -1;
    bool stuck = false;
    // The wait step bounds both the progress rate and how long a cancel takes.
    while (!tool.waitForFinished(1000) && tool.state() != QProcess::NotRunning) {
        if (!running)
            break;
        const QByteArray bytes = tool.readAllStandardOutput();
        const qint64 size = FileNames::size(out);
        if (bytes.isEmpty() && size == written) {
            if (quiet.elapsed() >= m_stallLimitMs) {
                stuck = true;
                break;
            }
            continue;
        }
        quiet.restart();
        written = size;
        heard(bytes);
        const int percent = parseRipProgress(Tools::toolText(bytes));
        if (percent >= 0)
            emit progress(overallRipProgress(index, count, percent));
    }
    if (tool.state() != QProcess::NotRunning) {
        tool.kill();
        tool.waitForFinished(5000);
    }
    heard(tool.readAllStandardOutput());
    if (!running) {
        // A cut-off title is no file to keep.
        if (made)
            OwnFiles::remove(out);
        return Title::Cancelled;
    }
    // A title is only handed on when the tool says it succeeded and left a file.
    if (!stuck && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0 && FileNames::size(out) > 0) {
        OwnFiles::forget(out);
        return Title::Finished;
    }
    const QString said = Tools::toolText(tool.readAllStandardError()).trimmed();
    if (stuck)
        m_failure = QString("ripper wrote nothing for %1 s").arg(m_stallLimitMs / 1000.0);
    else if (tool.exitStatus() != QProcess::NormalExit)
        m_failure = "the DVD's structure is damaged: ripper crashed reading it";
    else if (!said.isEmpty())
        m_failure = said.section('\n', -1).trimmed();
    else
        m_failure = tool.exitCode() != 0 ? QString("ripper ended with exit code %1").arg(tool.exitCode())
                                         : QString("ripper wrote no file");
    appendLogLine(Folders::tempFolder() + "log.txt",
                  "Cannot rip title " + title + " of " + m_drive + ": " + (said.isEmpty() ? m_failure : said));
    if (made)
        OwnFiles::remove(out);
    return Title::Failed;
}
