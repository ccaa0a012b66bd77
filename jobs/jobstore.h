#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <QList>
#include <QPair>
#include <QStringList>

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

    // The files the converting jobs write, each from its start until it ends
    // either way. Added while the file is there: what it is is kept beside
    // its name. Safe from any thread.
    void addRunningOutput(const QString &path);
    void removeRunningOutput(const QString &path);
    QStringList runningOutputs() const;

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
    const Question m_ask;
    mutable QMutex m_lock;
    QVariantList m_jobs;
    QVariantMap m_settings;
    // Paths and identities, oldest first.
    QList<QPair<QString, QString>> m_running;
    QByteArray m_written;
    bool m_kept = false;
};
