#include "jobs/joblist.h"

#include "disc/burn/disccheck.h"
#include "platform/folders.h"

JobList::JobList(QObject *parent)
    : QAbstractListModel(parent)
{
}

int JobList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant JobList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Job &job = m_jobs.at(index.row());
    switch (Role(role)) {
    case FileNameRole: return job.fileName;
    case LoadingRole: return job.state == Job::State::Loading;
    case CurrentStatusRole: return job.status();
    case OrigFileNameRole: return job.origFileName;
    case NewFileNameRole: return job.newFileName;
    case OrigPathNameRole: return job.origPathName;
    case DurationRole: return job.duration;
    case VideoCodecRole: return job.videoCodec;
    case AudioCodecRole: return job.audioCodec;
    case WxhRole: return job.wxh;
    case ThumbnailRole: return job.thumbnail;
    case FinalOutputRole: return job.finalOutput;
    case ErrorMsgRole: return job.errorMsg;
    case SelectedRole: return job.selected;
    case SourceRole: return sourceName(job.source);
    case TimeLeftRole: return job.timeLeft;
    case AccessibleNameRole: return accessibleName(job);
    case OpenActionRole:
        return job.isBurn() && !DiscCheck::isImage(job.fileName) ? "Play Disc" : "Open Containing Folder";
    }
    return {};
}

bool JobList::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= count())
        return false;
    Job &job = m_jobs[index.row()];
    const bool waiting = job.state == Job::State::Waiting && !job.isBurn();
    if (role == SelectedRole && (waiting || !value.toBool())) {
        job.selected = value.toBool();
    } else if (role == NewFileNameRole && waiting && m_editable) {
        job.newFileName = value.toString();
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> JobList::roleNames() const
{
    return {{FileNameRole, "fileName"},         {LoadingRole, "loading"},
            {CurrentStatusRole, "currentStatus"}, {OrigFileNameRole, "origFileName"},
            {NewFileNameRole, "newFileName"},   {OrigPathNameRole, "origPathName"},
            {DurationRole, "duration"},         {VideoCodecRole, "videoCodec"},
            {AudioCodecRole, "audioCodec"},     {WxhRole, "wxh"},
            {ThumbnailRole, "thumbnail"},       {FinalOutputRole, "finalOutput"},
            {ErrorMsgRole, "errorMsg"},         {SelectedRole, "selected"},
            {SourceRole, "source"},             {TimeLeftRole, "timeLeft"},
            {AccessibleNameRole, "accessibleName"}, {OpenActionRole, "openAction"}};
}

QString JobList::accessibleName(const Job &job)
{
    QString status;
    switch (job.state) {
    case Job::State::Loading: status = "reading"; break;
    case Job::State::Waiting:
        // A burn stays waiting while it burns.
        status = job.isBurn() && job.secondsDone > 0 ? QString("burning %1 %").arg(job.percent()) : "waiting";
        break;
    case Job::State::Converting: status = QString("converting %1 %").arg(job.percent()); break;
    case Job::State::Done: status = "complete"; break;
    case Job::State::Failed: status = "failed"; break;
    case Job::State::Removing: status = "stopping"; break;
    }
    // A burn row's title is its status text ("Image written: NAME.iso").
    QString name = job.isBurn() ? job.newFileName : job.origFileName;
    if (name.isEmpty())
        name = job.fileName.mid(job.fileName.lastIndexOf(Folders::separator()) + 1);
    QStringList parts{name};
    if (!job.duration.isEmpty())
        parts << job.duration;
    return (parts << status).join(", ");
}

QVariantMap JobList::get(int row) const
{
    QVariantMap roles;
    if (row < 0 || row >= count())
        return roles;
    const QModelIndex at = index(row);
    const QHash<int, QByteArray> names = roleNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        roles.insert(QString::fromLatin1(it.value()), data(at, it.key()));
    return roles;
}

bool JobList::setProperty(int row, const QString &role, const QVariant &value)
{
    return setData(index(row), value, roleNames().key(role.toLatin1(), -1));
}

int JobList::rowOf(quint64 id) const
{
    for (int row = 0; row < count(); ++row) {
        if (m_jobs.at(row).id == id)
            return row;
    }
    return -1;
}

quint64 JobList::append(Job job)
{
    return append(QList<Job>{std::move(job)}).constFirst();
}

QList<quint64> JobList::append(QList<Job> jobs)
{
    QList<quint64> ids;
    if (jobs.isEmpty())
        return ids;
    for (Job &job : jobs) {
        job.id = m_nextId++;
        ids << job.id;
    }
    beginInsertRows({}, count(), count() + int(jobs.size()) - 1);
    m_jobs.append(std::move(jobs));
    endInsertRows();
    emit countChanged();
    return ids;
}

void JobList::change(int row, const std::function<void(Job &)> &edit)
{
    if (row < 0 || row >= count())
        return;
    edit(m_jobs[row]);
    emit dataChanged(index(row), index(row));
}

void JobList::removeAt(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    m_jobs.removeAt(row);
    endRemoveRows();
    emit countChanged();
}

void JobList::move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= count() || to >= count())
        return;
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    m_jobs.move(from, to);
    endMoveRows();
}
