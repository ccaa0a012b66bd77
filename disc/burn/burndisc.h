#pragma once

#include "disc/burn/discplan.h"

#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>

class QProcess;
class QDateTime;
class QFileInfo;

// Authors and burns a finished run: a DVD-Video with every converted ".mpg"
// as one title (a chapter where each begins, and every few minutes within),
// or an audio CD with one track per ".wav" and its CD-TEXT. The device is a
// drive's node, or an image file (".iso", ".cue") to write instead of a
// disc. A DVD goes to a drive as an image made first; what was written is
// read back and compared when the options ask for it.
class BurnDisc : public QThread
{
    Q_OBJECT
public:
    explicit BurnDisc(QObject *parent = nullptr);
    ~BurnDisc() override;

    // Clears the items and sets the options back to their defaults.
    void setJob(const QString &discType, const QString &device, const QString &sourceFolder,
                const QString &videoStandard);
    // The files of the image that may replace what is at their names (the
    // user agreed to it); any other name taken by the end fails the burn.
    void allowReplacing(const QStringList &files) { m_options.replaceable = files; }
    // The staged files in the order they go on the disc, with their lengths
    // and CD-TEXT; without them, the source folder's files go in the order
    // they were made.
    void setItems(const QList<DiscItem> &items) { m_items = items; }
    void setOptions(const DiscOptions &options) { m_options = options; }
    // Ends a burn still going, for a program that is ending: its tool is
    // stopped, a half-written image removed, and nothing more is reported.
    // Returns once the worker is still.
    void stop();
    // Names the ".mpg" files by creation time (unless the items name them)
    // and writes the authoring project "mediaforgestudio.xml".
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
        // How long a drive that has just written may take to read again.
        int discReadyMs = 60000;
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
    // genisoimage makes the DVD-Video image of `dvdFolder` into the open
    // file `fd`; false with the reason.
    bool makeIso(const QString &dvdFolder, int fd, QString *reason);
    void burnDvdDisc(const QString &dvdFolder);
    void writeDvdImage(const QString &dvdFolder);
    // `writing` a disc: its closing steps are shown as such.
    int followIsoTool(QProcess &tool, QString *output, bool writing);
    QList<DiscItem> stagedItems(const QString &extension);
    void burnCd();
    void burnCdDisc(const QList<DiscItem> &tracks);
    void writeCdImage(const QList<DiscItem> &tracks);
    QStringList cdBurnerArgs(const QString &burner, const QList<DiscItem> &tracks, const QString &textFile) const;
    // The share of the whole burn that the next step fills, in percent.
    void setPhase(int from, int to);
    void phaseProgress(int percent);
    // Runs `compare` (which hears its progress) when the options ask for a
    // read-back, and fails the burn when it finds a difference; true when
    // the burn may be called done.
    bool verified(const std::function<QString(const std::function<bool(int)> &)> &compare);
    // Gives the finished `part` the image's name; false with the reason.
    bool placeImage(const QString &part, const QString &image, QString *error);
    // `inChild` runs in the tool's process before it starts.
    QString startTool(QProcess &tool, const QString &name, const QStringList &args,
                      const std::function<void()> &inChild = {});
    bool stopped(QProcess &tool);
    // `status` names what was written; an image file is handed on.
    void succeed(const QString &status);
    void fail(const QString &reason);

    QString m_burnDevice;
    QString m_sourceFolder;
    QList<DiscItem> m_items;
    QString m_videoStandard;
    qint64 m_totalBytes = 0;
    QString m_discType;
    DiscOptions m_options;
    Timings m_timings;
    int m_phaseFrom = 0;
    int m_phaseTo = 100;
    bool m_verified = false;
    std::atomic<bool> m_stopping{false};
};
