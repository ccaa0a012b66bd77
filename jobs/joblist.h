#pragma once

#include "jobs/job.h"

#include <QAbstractListModel>
#include <QList>

#include <functional>

// The job list as the page's list view and the command line see it: one row
// per job, with the page's row roles (names and values as the page's
// delegates read them). Only the run controller changes jobs; the page may
// edit a waiting row's output name and its selection.
class JobList : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    enum Role {
        FileNameRole = Qt::UserRole + 1,
        LoadingRole,
        CurrentStatusRole,
        OrigFileNameRole,
        NewFileNameRole,
        OrigPathNameRole,
        DurationRole,
        VideoCodecRole,
        AudioCodecRole,
        WxhRole,
        ThumbnailRole,
        FinalOutputRole,
        ErrorMsgRole,
        SelectedRole,
        SourceRole,
        TimeLeftRole,
        // "city clip.mp4, 00:00:07, converting 45 %": what a screen reader says of the row.
        AccessibleNameRole,
        // What opening a finished row does: "Play Disc" for a burned disc,
        // else "Open Containing Folder" (an image file is shown in its folder).
        OpenActionRole,
    };

    explicit JobList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_jobs.size()); }
    // The row's name for assistive tools: file, duration and status in words.
    static QString accessibleName(const Job &job);
    // A row's roles by name, as a list model's get() gives them.
    Q_INVOKABLE QVariantMap get(int row) const;
    // A list model's setProperty(), for the roles the page may edit.
    Q_INVOKABLE bool setProperty(int row, const QString &role, const QVariant &value);

    const Job &at(int row) const { return m_jobs.at(row); }
    const QList<Job> &jobs() const { return m_jobs; }
    // -1 when no row holds the job.
    Q_INVOKABLE int rowOf(quint64 id) const;
    // The job of a row, which stays its own while rows come and go; 0 for none.
    Q_INVOKABLE quint64 idAt(int row) const { return row >= 0 && row < count() ? m_jobs.at(row).id : 0; }
    // Appends a job under a new id, which it answers.
    quint64 append(Job job);
    // Appends jobs at once (one notice to the views), answering their ids.
    QList<quint64> append(QList<Job> jobs);
    // Changes a row and tells the views.
    void change(int row, const std::function<void(Job &)> &edit);
    void removeAt(int row);
    void move(int from, int to);

    // Edits by the page go only to rows that are waiting; a row whose name is
    // being edited is `selected`. Set false while a run goes.
    void setEditable(bool editable) { m_editable = editable; }

signals:
    void countChanged();

private:
    QList<Job> m_jobs;
    quint64 m_nextId = 1;
    bool m_editable = true;
};
