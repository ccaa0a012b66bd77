#pragma once

#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>

class QProcess;
class QDateTime;
class QFileInfo;

// Authors and burns a finished run: a DVD-Video with every converted ".mpg"
// as one title in creation order, or an audio CD with one track per ".wav".
// The device is a drive's node, or an image file (".iso", ".cue") to write
// instead of a disc.
class BurnDisc : public QThread
{
    Q_OBJECT
public:
    explicit BurnDisc(QObject *parent = nullptr);
    ~BurnDisc() override;

    // Clears what allowReplacing allowed.
    void setJob(const QString &discType, const QString &device, const QString &sourceFolder,
                const QString &videoStandard);
    // The files of the image that may replace what is at their names (the
    // user agreed to it); any other name taken by the end fails the burn.
    void allowReplacing(const QStringList &files);
    // The staged files in the order they go on the disc; without them, the
    // source folder's files go in the order they were made.
    void setFiles(const QStringList &files) { m_files = files; }
    // Ends a burn still going, for a program that is ending: its tool is
    // stopped, a half-written image removed, and nothing more is reported.
    // Returns once the worker is still.
    void stop();
    // Names the ".mpg" files by creation time and writes the authoring
    // project "mediaforgestudio.xml".
    void writeProject();
    void logLine(const QString &text);
    void renameByCreationTime(const QString &pattern, const QString &extension);
    // When a staged file was made, as the renaming orders the files.
    static QDateTime createdAt(const QFileInfo &file);
    qint64 totalBytes() const { return m_totalBytes; }

    // How long the worker waits on its tools; tests shorten them.
    struct Timings {
        int dvdPollMs = 1000;
        int cdFirstWaitMs = 30000;
        int cdPollMs = 500;
        // How long a tool told to stop may take to let go of the drive.
        int stopGraceMs = 5000;
    };
    void setTimings(const Timings &timings) { m_timings = timings; }

signals:
    void burnComplete(bool, QString, QString);
    void burnProgress(int);
    void textStatus(QString);
    void burnEstTime(QString);

protected:
    void run() override;

private:
    void burnDvd();
    bool author(const QString &project);
    void burnDvdDisc(const QString &dvdFolder);
    void writeDvdImage(const QString &dvdFolder);
    int followIsoTool(QProcess &tool, QString *output);
    QStringList stagedFiles(const QString &extension);
    void burnCd();
    void burnCdDisc(const QStringList &tracks);
    void writeCdImage(const QStringList &tracks);
    // Gives the finished `part` the image's name; false with the reason.
    bool placeImage(const QString &part, const QString &image, QString *error);
    // `inChild` runs in the tool's process before it starts.
    QString startTool(QProcess &tool, const QString &name, const QStringList &args,
                      const std::function<void()> &inChild = {});
    bool stopped(QProcess &tool);
    void succeed();
    void fail(const QString &reason);

    QString m_burnDevice;
    QString m_sourceFolder;
    QStringList m_files;
    QString m_videoStandard;
    qint64 m_totalBytes = 0;
    QString m_discType;
    QStringList m_replaceable;
    Timings m_timings;
    std::atomic<bool> m_stopping{false};
};
