#include "media/fileinfothread.h"

#include "media/clocktext.h"

#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/tools.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

FileInfoThread::FileInfoThread(QObject *parent)
    : QThread(parent)
{
}

FileInfoThread::~FileInfoThread()
{
    shutdown();
}

void FileInfoThread::enqueue(const QString &path)
{
    bool startIt = false;
    {
        QMutexLocker lock(&m_lock);
        m_queue << path;
        if (!m_active) {
            m_active = true;
            startIt = true;
        }
    }
    if (startIt) {
        // A run that has just decided to end may not have returned yet.
        wait();
        m_quit = false;
        start();
    }
}

void FileInfoThread::shutdown()
{
    m_quit = true;
    {
        QMutexLocker lock(&m_lock);
        m_queue.clear();
    }
    wait();
}

QStringList FileInfoThread::streamFields(const QString &text, const QString &tag)
{
    const int at = text.indexOf(tag);
    if (at <= 0)
        return {};
    const int from = at + tag.size();
    const int eol = text.indexOf('\n', from);
    const QString line = text.mid(from, eol < 0 ? -1 : eol - from);
    // Current ffmpeg writes details such as "yuv420p(tv, bt709)"; commas inside
    // brackets don't separate fields, so the frame size stays the third field.
    QStringList fields;
    QString field;
    int depth = 0;
    for (const QChar c : line) {
        if (c == '(')
            ++depth;
        else if (c == ')' && depth > 0)
            --depth;
        if (c == ',' && depth == 0) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

QString FileInfoThread::durationField(const QString &text)
{
    return text.mid(text.indexOf("Duration:") + 10, 8);
}

QString FileInfoThread::thumbnailPath(const QString &folder, qint64 seconds)
{
    const QString stamp = QString::number(seconds);
    QString name = stamp;
    while (QFileInfo::exists(folder + name + ".png"))
        name += stamp;
    return folder + name + ".png";
}

int FileInfoThread::thumbnailSeconds(const QString &duration)
{
    const int length = clockSeconds(duration);
    return length < 20 ? 1 : length / 20;
}

QString FileInfoThread::runTool(const QString &program, const QStringList &args)
{
    QProcess tool;
    Tools::start(tool, program, args);
    tool.closeWriteChannel();
    // Short steps, so that closing the program doesn't wait for a slow tool.
    QElapsedTimer clock;
    clock.start();
    while (tool.state() != QProcess::NotRunning && !m_quit && clock.elapsed() < m_toolWaitMs)
        tool.waitForFinished(int(std::min<qint64>(100, m_toolWaitMs - clock.elapsed())) + 1);
    if (tool.state() != QProcess::NotRunning) {
        // The answer so far is all we use; a stuck tool is not left behind.
        tool.kill();
        tool.waitForFinished(5000);
    }
    return Tools::toolText(tool.readAllStandardError());
}

void FileInfoThread::run()
{
    const QString ffmpeg = Tools::find("ffmpeg");
    if (ffmpeg.isEmpty()) {
        {
            QMutexLocker lock(&m_lock);
            m_active = false;
        }
        emit converterMissing("FFMpeg could not be located or is not responding.\n\n"
                              "Please try re-installing MediaForgeStudio.");
        return;
    }

    for (;;) {
        QString path;
        {
            QMutexLocker lock(&m_lock);
            if (m_queue.isEmpty() || m_quit) {
                m_active = false;
                return;
            }
            path = m_queue.first();
        }
        // The file as named, even with a space at the end.
        const QString text = runTool(ffmpeg, {"-i", path});

        const QString sep = Folders::separator();
        const int slash = path.lastIndexOf(sep);
        const QString name = path.mid(slash + 1);
        const int dot = name.lastIndexOf('.');
        QStringList fileInfo;
        fileInfo << name << path.left(slash + 1) << (dot < 0 ? name : name.left(dot))
                 << durationField(text);
        const QStringList video = streamFields(text, "Video:");
        const QStringList audio = streamFields(text, "Audio:");

        QString thumb;
        if (m_thumbnails) {
            thumb = thumbnailPath(Folders::tempFolder(), QDateTime::currentSecsSinceEpoch());
            // Seeking on the input lands on the same picture without decoding
            // everything before it, so long films get their thumbnail in time.
            if (!m_quit) {
                runTool(ffmpeg, {"-ss", QString::number(thumbnailSeconds(fileInfo.at(3))), "-i",
                                 path, "-y", "-f", "image2", "-frames:v", "1", "-s", "88x66", thumb});
            }
        }
        fileInfo << (!thumb.isEmpty() && FileNames::exists(thumb) ? thumb : QString());
        if (m_quit)
            continue;
        emit fileInfoReady(fileInfo, video, audio);
        QMutexLocker lock(&m_lock);
        if (!m_queue.isEmpty())
            m_queue.removeFirst();
    }
}
