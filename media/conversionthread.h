#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <optional>

// Runs one ffmpeg conversion at a time on its own thread and reports by
// signals only. A job's output is created as its name is chosen, and removed
// again when the job fails or is stopped, while it is still the job's own.
class ConversionThread : public QThread
{
    Q_OBJECT
public:
    explicit ConversionThread(QObject *parent = nullptr);

    // Only while no run reads them: when idle, or after a run's last signal.
    void setParameters(const QString &inFile, const QStringList &args, const QString &outFile,
                       const QString &outExt);
    // Starts a run with the parameters set; does nothing while one is going.
    // The running flag is raised here, so a stop asked right after is not lost.
    void startRun();
    // Hands over a job and starts it, or keeps it until the run still going
    // has finished, so that a job is never dropped.
    void startJob(const QString &inFile, const QStringList &args, const QString &outFile,
                  const QString &outExt);
    // Asks a running conversion to stop (noticed at the next wake-up). A job
    // still waiting for the previous run is dropped instead and reported
    // cancelled; the answer is true in that case.
    bool requestStop();
    // The output file chosen by the current or last run; empty before a run
    // has chosen one.
    QString outputPath() const;

    // Whole seconds of the first "time=" record, 0 when it doesn't parse, or
    // -1 when there is none.
    static int progressSeconds(const QString &records);
    // Adds a chunk of the converter's error text to the record still open in
    // `pending` and reads the progress of the records it completes: their
    // first "time=" as progressSeconds() reads it, or -1 when none completes
    // or they have none.
    static int takeProgress(QString &pending, const QString &chunk);
    // The last line of a converter's error text.
    static QString lastLine(const QString &text);

    // A converter that neither prints nor writes for this long is taken as
    // hung and ended. Settable for tests.
    void setSilenceLimit(int ms) { m_silenceLimitMs = ms; }
    static constexpr int defaultSilenceLimitMs = 300000;

signals:
    void startConversion(QString outFileName);
    void conversionProgress(int time);
    void conversionComplete(bool quitOk, QString finalOutput, QString errorMsg);
    void conversionCancelled();
    // The input's duration as ffmpeg names it before converting ("hh:mm:ss").
    void inputDuration(QString duration);

protected:
    void run() override;

private:
    struct Job {
        QString inFile;
        QStringList args;
        QString outFile;
        QString outExt;
    };

    void log(const QString &text) const;
    // The run's last signal after a stop; the job's output goes.
    void cancel(const QString &out);
    // Logs the end and sends the run's last signal; `detail` is logged on
    // failure, when the job's output goes.
    void finish(bool quitOk, const QString &out, const QString &errorMsg, const QString &detail);
    void startWaitingJob(quint64 generation);

    QString m_inFile;
    QStringList m_args;
    QString m_outFile;
    QString m_outExt;
    std::atomic<bool> m_running{false};
    std::atomic<int> m_silenceLimitMs{defaultSilenceLimitMs};
    mutable QMutex m_outLock;
    QString m_chosenOutput;
    // Set once a run has sent its last signal and is only returning.
    std::atomic<bool> m_returned{true};
    // Touched on the owner's thread only (the run reads m_generation once,
    // before anything can change it).
    quint64 m_generation = 0;
    std::optional<Job> m_waiting;
};
