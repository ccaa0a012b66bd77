#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

// Runs one ffmpeg conversion at a time on its own thread and reports by
// signals only.
class ConversionThread : public QThread
{
    Q_OBJECT
public:
    explicit ConversionThread(QObject *parent = nullptr);

    void setParameters(const QString &inFile, const QStringList &args, const QString &outFile,
                       const QString &outExt);
    // Asks a running conversion to stop; noticed at the next wake-up.
    void requestStop() { m_running = false; }
    // The chosen output file once a run has started, the given path before.
    QString outputPath() const;

    // First free name among P.E, P (New).E, P (New)(2).E, ...
    static QString freeOutputName(const QString &path, const QString &ext);
    // Whole seconds of the first complete "time=" record, or -1 when there is none.
    static int progressSeconds(const QString &records);

    // A converter that prints nothing for this long is taken as hung.
    static constexpr int silenceLimitMs = 300000;

signals:
    void startConversion(QString outFileName);
    void conversionProgress(int time);
    void conversionComplete(bool quitOk, QString finalOutput, QString errorMsg);
    void conversionCancelled();

protected:
    void run() override;

private:
    void log(const QString &text) const;

    QString m_inFile;
    QStringList m_args;
    QString m_outFile;
    QString m_outExt;
    std::atomic<bool> m_running{false};
    mutable QMutex m_outLock;
};
