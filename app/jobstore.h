#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// The job list's unfinished jobs, kept in a file as the page changes them so
// that a crash or a kill doesn't lose them. The page reaches it as
// `jobStore`; the next start offers what a run that never closed left.
class JobStore : public QObject
{
    Q_OBJECT
public:
    explicit JobStore(const QString &path, QObject *parent = nullptr);

    // The rows still to do, each with its roles and `running` on the one
    // converting, and the page's output choice (arguments, extension, ids,
    // folder) they convert with.
    Q_INVOKABLE void save(const QVariantList &jobs, const QVariantMap &settings);

    // The file the converting job writes, from its start until it ends
    // either way; empty otherwise. Called on the runner's thread, while the
    // file is there: what it is is kept beside its name.
    void setRunningOutput(const QString &path);
    QString runningOutput() const;

    // At start: removes what an interrupted job had written (only while its
    // name still holds that very file), then asks once
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
    mutable QMutex m_lock;
    QVariantList m_jobs;
    QVariantMap m_settings;
    QString m_running;
    QString m_runningIdentity;
    QByteArray m_written;
    bool m_kept = false;
};
