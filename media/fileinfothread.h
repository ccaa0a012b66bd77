#pragma once

#include <QMutex>
#include <QStringList>
#include <QThread>

#include <atomic>

// Probes queued files with ffmpeg, one after another, on its own thread:
// name parts, duration, first video and audio stream, and a thumbnail.
class FileInfoThread : public QThread
{
    Q_OBJECT
public:
    explicit FileInfoThread(QObject *parent = nullptr);
    ~FileInfoThread() override;

    // Queues a path and starts the thread when it is idle.
    void enqueue(const QString &path);
    // Forgets the queue and waits for the current probe to end.
    void shutdown();

    // How long one tool run may take before it is killed. Settable for tests.
    void setToolWait(int ms) { m_toolWaitMs = ms; }
    static constexpr int defaultToolWaitMs = 30000;
    // The command line has no use for pictures; without them a probe is one
    // tool run instead of two. Field 4 is then always empty.
    void setThumbnails(bool on) { m_thumbnails = on; }

    // The comma-separated fields after the first `tag` ("Video:", "Audio:"),
    // or an empty list when the tag is missing or opens the text.
    static QStringList streamFields(const QString &text, const QString &tag);
    // The 8 characters that follow "Duration: " (normally "hh:mm:ss").
    static QString durationField(const QString &text);
    // Where in the input the thumbnail is taken, in whole seconds.
    static int thumbnailSeconds(const QString &duration);

signals:
    void fileInfoReady(QStringList fileInfo, QStringList fileVideoInfo, QStringList fileAudioInfo);
    // No converter: the queue is kept, and the interface tells the user.
    void converterMissing(QString message);

protected:
    void run() override;

private:
    QMutex m_lock;
    QStringList m_queue;
    bool m_active = false;
    std::atomic<bool> m_quit{false};
    std::atomic<int> m_toolWaitMs{defaultToolWaitMs};
    std::atomic<bool> m_thumbnails{true};
};
