#pragma once

#include <QStringList>
#include <QThread>

#include <atomic>

// Copies the chosen titles of a DVD one after the other with `ripper`, each
// to "LABEL_Title_T.vob", and reports each finished file with its length.
class DVDRipThread : public QThread
{
    Q_OBJECT
public:
    explicit DVDRipThread(QObject *parent = nullptr);
    // Ends a rip still going (the tool is killed) before the thread goes.
    ~DVDRipThread() override;

    // Ignored while a rip runs. `drive` is what ripper reads (a device node,
    // folder or image); `lengths` are the titles' "hh:mm:ss" texts.
    void setTitles(const QString &drive, const QStringList &titles, const QString &volumeLabel,
                   const QStringList &lengths);
    // Where the files go: empty (the default) makes a new rip folder in the
    // temporary folder for each rip; otherwise straight into this folder.
    void setDestination(const QString &folder);

    // Cleared to stop the rip: the tool is killed within one wait step.
    std::atomic<bool> running{false};

    // Name of a title's file; a disc without a label gives "DVD_Title_T.vob".
    static QString fileName(const QString &volumeLabel, const QString &title);

    // A tool that neither prints nor writes for this long is taken as stuck
    // and ended (a damaged disc can keep it busy for ever). Settable for tests.
    void setStallLimit(int ms) { m_stallLimitMs = ms; }
    static constexpr int defaultStallLimitMs = 60000;

signals:
    void ripStarted(int count);
    void ripTitleStarted(int number);
    void progress(int percent);
    void ripTitleFinished(QString path, QString length);
    void ripComplete();
    void error(QString message);

protected:
    void run() override;

private:
    enum class Title { Finished, Failed, Cancelled, NoTool };
    Title ripOne(const QString &title, const QString &out, int index, int count);

    QString m_drive;
    QStringList m_titleList;
    QString m_volumeLabel;
    QStringList m_lengthList;
    QString m_destination;
    QString m_toolProblem; // why the tool can't run at all
    QString m_failure;     // why the last title failed
    std::atomic<int> m_stallLimitMs{defaultStallLimitMs};
};
