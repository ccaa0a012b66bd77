#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

// The job list's unfinished jobs, kept in a file as the list changes so that
// a crash or a kill doesn't lose them; the next start offers what a run that
// never closed left.
class JobStore : public QObject
{
    Q_OBJECT
public:
    // `ask` puts the restore question to the user.
    using Question = std::function<bool(const QString &text)>;
    JobStore(const QString &path, Question ask, QObject *parent = nullptr);

    // The rows still to do, each with its roles and `running` on the one
    // converting, and the page's output choice (arguments, extension, ids,
    // folder) they convert with.
    Q_INVOKABLE void save(const QVariantList &jobs, const QVariantMap &settings);

    // The file the converting job writes, from its start until it ends
    // either way; empty otherwise. Called on the runner's thread.
    void setRunningOutput(const QString &path);
    QString runningOutput() const;

    // At start: removes what an interrupted job had written, then asks once
    // whether to bring the saved jobs back; Yes sends them by `restore`.
    void offerRestore();
    // A normal close: nothing is left to restore.
    void discard();
    // Ending on a signal: what is saved stays, and nothing changes it now.
    void keep();

signals:
    void restore(QVariantList jobs, QVariantMap settings);

private:
    // Both with m_lock held.
    void write();
    void remove();

    const QString m_path;
    const Question m_ask;
    mutable QMutex m_lock;
    QVariantList m_jobs;
    QVariantMap m_settings;
    QString m_running;
    QByteArray m_written;
    bool m_kept = false;
};
