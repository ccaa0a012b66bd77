#pragma once

#include "jobs/engine.h"
#include "jobs/joblist.h"
#include "jobs/outputplan.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QVariantMap>

#include <functional>

class JobStore;

// The job queue of the window and the command line: adds and probes jobs,
// converts the waiting ones in list order, several at once when allowed,
// stops or removes one, and ends a disc run with its burn, the staged files
// in list order. Progress, time left and the end of a run are reported by
// properties and signals; questions to the user stay with the front ends.
class RunController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(JobList *list READ list CONSTANT)
    Q_PROPERTY(bool running READ isRunning NOTIFY runningChanged)
    Q_PROPERTY(int overallDuration READ overallDuration NOTIFY listChanged)
    Q_PROPERTY(int overallProgress READ overallProgress NOTIFY progressChanged)
    Q_PROPERTY(QString timeLeft READ timeLeft NOTIFY progressChanged)
    Q_PROPERTY(bool anyFinished READ anyFinished NOTIFY listChanged)
    Q_PROPERTY(bool anyToConvert READ anyToConvert NOTIFY listChanged)
    // Where the outputs go, in words for the Convert tab (OutputPlan::description).
    Q_PROPERTY(QString outputDescription READ outputDescription NOTIFY listChanged)
    // 0 is automatic: as many as suit the output and the machine.
    Q_PROPERTY(int simultaneous READ simultaneous WRITE setSimultaneous NOTIFY simultaneousChanged)
public:
    // How added files are probed: with a thumbnail (the window), without
    // (the command line), or not at all when the output is sound only (the
    // conversion's own output then gives the duration).
    enum class Probing { WithThumbnail, Plain, NotForSoundOnly };
    // The formats whose runs end in a burn: DVD-Video and audio CD.
    static constexpr int dvdFormat = 7;
    static constexpr int cdFormat = 36;
    // Makes a new staging folder in `temp`: its path, or "" with the reason.
    using StagingMaker = std::function<QString(const QString &temp, QString *error)>;

    RunController(JobEngine *engine, const OutputPlan::Places &places, QObject *parent = nullptr);
    ~RunController() override;

    JobList *list() { return &m_list; }
    const JobList *list() const { return &m_list; }
    void setProbing(Probing probing) { m_probing = probing; }
    // Burn runs of the command line take files that a disc takes as they are
    // (copied, not converted).
    void setStageReadyAsIs(bool asIs) { m_stageReadyAsIs = asIs; }
    // Where a burn run stages its files; by default a new folder named by a
    // random number, which a crash leaves for the next start to go on with.
    void setStagingMaker(StagingMaker maker) { m_makeStaging = std::move(maker); }
    // Keeps the list in `store` from now on, as it changes (a few times a
    // second at most).
    void setStore(JobStore *store);

    bool isRunning() const { return m_running; }
    int overallDuration() const;
    int overallProgress() const { return m_overallProgress; }
    QString timeLeft() const { return m_timeLeft; }
    bool anyFinished() const;
    bool anyToConvert() const;
    QString outputDescription() const;
    int simultaneous() const { return m_simultaneous; }
    void setSimultaneous(int jobs);
    // How many jobs convert at once now.
    int jobsAtOnce() const;

    // The output choice, in the form the saved list keeps it: ffmpegArgs,
    // outExt, outPath, outputSameFolder, formatId, outputId.
    Q_INVOKABLE void setChoice(const QVariantMap &choice);
    QVariantMap settings() const;
    // "dvd" or "cd" for the formats that end in a burn, else "".
    Q_INVOKABLE static QString burnKind(int formatId);
    // The reason given for an input without streams.
    Q_INVOKABLE static QString noStreams(const QString &fileName) { return noStreamsText(fileName); }
    // Whether a burn of this kind that came back after a crash waits for
    // its run (which then needs no drive).
    Q_INVOKABLE bool burnWaiting(const QString &kind) const;

    // Adds a row per path ("file" or "cd") and probes it.
    Q_INVOKABLE void addFiles(const QStringList &paths, const QString &source = "file");
    // DVD titles keep the length their rip gave them.
    Q_INVOKABLE void addDvd(const QStringList &paths, const QString &length);
    // Starts a run of every waiting row. A format that burns ends the run by
    // burning to `drive` (a drive or an image file) with the preset named
    // `caption` ("PAL …" or "NTSC …" for a DVD). False when nothing starts
    // (a run goes already, a burn without a drive, or no staging folder:
    // `error` says why).
    Q_INVOKABLE bool start(const QString &drive = {}, const QString &caption = {}, QString *error = nullptr);
    // The burn row of the run, 0 when there is none.
    quint64 burnId() const { return m_burnId; }
    // Whether every job's input goes on a disc of this kind as it is.
    bool allReadyToBurn(const QString &discType, const QString &standard) const;
    // What the next burn makes of its disc: chapters, gaps, title, read-back.
    void setDiscOptions(const DiscOptions &options) { m_discOptions = options; }
    const DiscOptions &discOptions() const { return m_discOptions; }
    // The title a disc of this kind gets unless the user gives one: for a
    // DVD the volume label made of the first job's name, for a CD the first
    // job's album, else its name.
    Q_INVOKABLE QString defaultDiscTitle(const QString &kind) const;
    // Stops the whole run: converting rows wait again, the burn row goes.
    Q_INVOKABLE void cancel();
    Q_INVOKABLE bool isConverting(int row) const;
    // Removes a row; a converting one is stopped first and goes when its
    // converter has.
    Q_INVOKABLE void remove(int row);
    // Removes every finished row (done or failed).
    Q_INVOKABLE void clearFinished();
    // Ends every name edit; a name left empty becomes the input's base name again.
    Q_INVOKABLE void endEdits();

    // The rows still to do, as the saved list holds them.
    QVariantList savedJobs() const;
    void restore(const QVariantList &jobs, const QVariantMap &settings);
    // For a program that ends: nothing more starts or is reported.
    void shutdown();

signals:
    void runningChanged();
    void listChanged();
    void progressChanged();
    void simultaneousChanged();
    // A probe found nothing to convert: the row is gone.
    void noStreamsFound(QString fileName, QString path);
    void converterMissing(QString message);
    void jobStarted(quint64 id);
    void jobProgressed(quint64 id);
    void jobFinished(quint64 id, bool ok);
    // Every row added so far has its probe answer (or is gone).
    void probesDone();
    void burnStarted();
    void runFinished(int done, int failed, bool cancelled);
    // The choice that came back with restored rows.
    void restored(QVariantMap settings);

private:
    void probed(quint64 id, const QStringList &fileInfo, const QStringList &video, const QStringList &audio);
    void started(quint64 ticket, const QString &name, const QString &path);
    void progressed(quint64 ticket, int seconds);
    void completed(quint64 ticket, bool ok, const QString &output, const QString &error);
    void cancelled(quint64 ticket);
    void burnCompleted(bool ok, const QString &device, const QString &reason);

    void appendInputs(const QStringList &paths, Job::Source source, const QString &length);
    bool soundOnly() const;
    void fill();
    void startConversion(int row);
    void startBurn(int row);
    int burnRow() const { return m_list.rowOf(m_burnId); }
    void changeBurn(const std::function<void(Job &)> &edit) { m_list.change(burnRow(), edit); }
    void endRun(bool cancelled);
    void endBurnRun();
    static QString burnStandard(const Job &burn);
    static QString discTitle(const QString &kind, const QList<Job> &jobs);
    quint64 endTicket(quint64 ticket);
    void finishJob(int row, bool ok, const QString &output, const QString &error);
    void dropRow(int row);
    void updateProgress();
    void listEdited();
    void save();

    JobList m_list;
    JobEngine *m_engine;
    OutputPlan m_plan;
    JobStore *m_store = nullptr;
    StagingMaker m_makeStaging;
    QTimer m_saveTimer;
    bool m_unsaved = false;
    Probing m_probing = Probing::WithThumbnail;
    bool m_stageReadyAsIs = false;
    QVariantMap m_choice;
    int m_simultaneous = 0;
    bool m_running = false;
    bool m_burning = false;
    bool m_probeStalled = false;
    bool m_shutDown = false;
    // Each conversion started gets a ticket of its own, so that the late
    // report of one stopped before a row starts again is told apart.
    QHash<quint64, quint64> m_tickets; // ticket -> job id
    quint64 m_nextTicket = 1;
    // Outputs once chosen, by job id; staged ones until the burn.
    QHash<quint64, QString> m_outputs;
    DiscOptions m_discOptions;
    QHash<quint64, QElapsedTimer> m_clocks;
    // Jobs not probed whose conversion has named the input's duration.
    QSet<quint64> m_durationFound;
    quint64 m_burnId = 0;
    QElapsedTimer m_runClock;
    int m_runDoneAtStart = 0;
    int m_overallProgress = 0;
    QString m_timeLeft;
    int m_done = 0;
    int m_failed = 0;
};
