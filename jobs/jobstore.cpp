#include "jobs/jobstore.h"

#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/textlog.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <unistd.h>

namespace {

// Rows whose input lives in the temporary folder come back only when it is
// still there; the user's own files always do.
bool inputStillThere(const QVariantMap &job, const QVariantMap &settings)
{
    const QString source = job.value("source").toString();
    if (source == "file")
        return true;
    if (source == "cd" || source == "dvd")
        return QFileInfo(job.value("fileName").toString()).isFile();
    // A burn row burns its run's staging folder.
    const QString staging = settings.value("desTemp").toString();
    return (source == "burn_dvd" || source == "burn_cd") && !staging.isEmpty()
           && QFileInfo(Folders::tempFolder() + staging).isDir();
}

} // namespace

JobStore::JobStore(const QString &path, Question ask, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_ask(std::move(ask))
{
}

void JobStore::save(const QVariantList &jobs, const QVariantMap &settings)
{
    QMutexLocker lock(&m_lock);
    m_jobs = jobs;
    m_settings = settings;
    write();
}

void JobStore::addRunningOutput(const QString &path)
{
    const QString identity = OwnFiles::identity(path);
    QMutexLocker lock(&m_lock);
    m_running.append({path, identity});
    write();
}

void JobStore::removeRunningOutput(const QString &path)
{
    QMutexLocker lock(&m_lock);
    m_running.removeIf([&path](const QPair<QString, QString> &r) { return r.first == path; });
    write();
}

QStringList JobStore::runningOutputs() const
{
    QMutexLocker lock(&m_lock);
    QStringList paths;
    for (const auto &r : m_running)
        paths << r.first;
    return paths;
}

void JobStore::write()
{
    if (m_kept)
        return;
    if (m_jobs.isEmpty()) {
        remove();
        return;
    }
    QJsonObject saved{{"settings", QJsonObject::fromVariantMap(m_settings)},
                      {"jobs", QJsonArray::fromVariantList(m_jobs)}};
    // The first as an earlier version kept its one; all of them in a list.
    if (!m_running.isEmpty()) {
        saved.insert("running", m_running.constFirst().first);
        saved.insert("runningIdentity", m_running.constFirst().second);
        QJsonArray all;
        for (const auto &r : m_running)
            all.append(QJsonObject{{"path", r.first}, {"identity", r.second}});
        saved.insert("runningOutputs", all);
    }
    const QByteArray bytes = QJsonDocument(saved).toJson(QJsonDocument::Compact);
    if (bytes == m_written)
        return;
    // A new file renamed over the old one: a kill mid-write leaves the old list.
    QSaveFile file(m_path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        m_written = bytes;
}

void JobStore::remove()
{
    QFile::remove(m_path);
    m_written.clear();
}

void JobStore::discard()
{
    QMutexLocker lock(&m_lock);
    if (m_kept)
        return;
    m_jobs.clear();
    remove();
}

void JobStore::keep()
{
    QMutexLocker lock(&m_lock);
    m_kept = true;
}

void JobStore::offerRestore()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.read(64 << 20), &error);
    file.close();
    const QJsonObject saved = document.object();
    if (!saved.value("jobs").isArray() || !saved.value("settings").isObject()) {
        appendLogLine(Folders::debugLogPath(),
                      "Ignored the saved job list " + m_path + ": "
                          + (error.error != QJsonParseError::NoError ? error.errorString()
                                                                     : QString("not a job list")));
        QMutexLocker lock(&m_lock);
        remove();
        return;
    }

    const QVariantMap settings = saved.value("settings").toObject().toVariantMap();
    const QString ext = "." + settings.value("outExt").toString();
    QVariantList jobs;
    for (const QJsonValue &value : saved.value("jobs").toArray()) {
        QVariantMap job = value.toObject().toVariantMap();
        if (job.take("running").toBool()) {
            // The converting row was showing its output's file name.
            QString runningName = job.value("newFileName").toString();
            if (runningName.endsWith(ext) && runningName.size() > ext.size())
                runningName.chop(ext.size());
            job.insert("newFileName", runningName);
        }
        if (job.value("fileName").toString().isEmpty() || !inputStillThere(job, settings))
            continue;
        const QString thumbnail = job.value("thumbnail").toString();
        if (!job.value("source").toString().startsWith("burn") && !QFileInfo::exists(thumbnail))
            job.insert("thumbnail", QString());
        jobs << job;
    }

    // Half written whatever the answer; the job starts afresh if it comes
    // back. Only the very file the job made is touched: its name may hold
    // another's file by now, and a list without the file's identity can't tell.
    QList<QPair<QString, QString>> partials{{saved.value("running").toString(),
                                             saved.value("runningIdentity").toString()}};
    for (const QJsonValue &r : saved.value("runningOutputs").toArray())
        partials.append({r["path"].toString(), r["identity"].toString()});
    for (const auto &[partial, identity] : partials) {
        if (!identity.isEmpty() && OwnFiles::identity(partial) == identity && FileNames::isFile(partial))
            ::unlink(FileNames::encode(partial).constData());
    }

    {
        QMutexLocker lock(&m_lock);
        m_jobs = jobs;
        m_settings = settings;
        write();
    }
    if (jobs.isEmpty())
        return;

    const QString text = jobs.size() == 1
        ? QString("MediaForgeStudio did not close normally last time, and 1 job was still waiting in "
                  "the Media List.\n\nDo you want to restore it?")
        : QString("MediaForgeStudio did not close normally last time, and %1 jobs were still waiting "
                  "in the Media List.\n\nDo you want to restore them?")
              .arg(jobs.size());
    const bool restoreThem = m_ask && m_ask(text);
    {
        QMutexLocker lock(&m_lock);
        // A signal ended the program while the question was open.
        if (m_kept)
            return;
        if (!restoreThem) {
            m_jobs.clear();
            remove();
            return;
        }
    }
    emit restore(jobs, settings);
}
