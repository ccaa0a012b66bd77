#include "media/fileinfothread.h"

#include "media/clocktext.h"
#include "media/probe.h"

#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/tools.h"

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

int FileInfoThread::thumbnailSeconds(const QString &duration)
{
    const int length = clockSeconds(duration);
    return length < 20 ? 1 : length / 20;
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
        const Probe::Answer answer = Probe::run(ffmpeg, path, m_thumbnails ? Folders::tempFolder() : QString(),
                                                m_quit, m_toolWaitMs);
        if (m_quit) {
            OwnFiles::remove(answer.fileInfo.value(4));
            continue;
        }
        emit fileInfoReady(answer.fileInfo, answer.video, answer.audio);
        QMutexLocker lock(&m_lock);
        if (!m_queue.isEmpty())
            m_queue.removeFirst();
    }
}
