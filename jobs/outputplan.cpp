#include "jobs/outputplan.h"

#include "disc/cd/discinfo.h"
#include "disc/cd/riplog.h"
#include "jobs/job.h"
#include "platform/filenames.h"
#include "platform/folders.h"

#include <QDir>

#include <algorithm>

OutputPlan::OutputPlan(const Places &places)
    : m_places(places)
{
}

QString OutputPlan::albumName(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return QString("Album %1-%2-%3 %4-%5-%6")
        .arg(d.year()).arg(d.month()).arg(d.day()).arg(t.hour()).arg(t.minute()).arg(t.second());
}

QString OutputPlan::description(const QList<Job> &jobs, const QString &folder, const QString &burnKind) const
{
    // The rows still to convert; once all are done, where they went.
    QList<Job> rows;
    for (const Job &job : jobs) {
        if (!job.isFinished())
            rows << job;
    }
    if (rows.isEmpty())
        rows = jobs;
    if (rows.isEmpty())
        return {};
    const QString sep = Folders::separator();
    for (const Job &job : std::as_const(rows)) {
        if (!job.isBurn())
            continue;
        // A burn goes to a drive's device node or to an image file.
        return job.fileName.startsWith("/dev/") ? "Output: disc in " + job.fileName
                                                : "Output: image file " + job.fileName.mid(job.fileName.lastIndexOf(sep) + 1);
    }
    if (!burnKind.isEmpty())
        return burnKind == "dvd" ? "Output: a DVD or an image file, chosen at Convert"
                                 : "Output: an audio CD or an image file, chosen at Convert";
    if (!folder.isEmpty())
        return "Output: " + (folder.endsWith(sep) && folder.size() > sep.size() ? folder.chopped(sep.size()) : folder);
    const auto placeName = [&](const QString &place) {
        const QString plain = place.endsWith(sep) ? place.chopped(sep.size()) : place;
        return plain.mid(plain.lastIndexOf(sep) + 1);
    };
    QStringList places;
    for (const Job::Source source : {Job::Source::File, Job::Source::Cd, Job::Source::Dvd}) {
        if (std::none_of(rows.cbegin(), rows.cend(), [&](const Job &job) { return job.source == source; }))
            continue;
        places << (source == Job::Source::File ? QString("beside each input")
                   : source == Job::Source::Cd ? placeName(m_places.music) + " › Album …"
                                               : placeName(m_places.videos));
    }
    return "Output: " + places.join(", ");
}

QString OutputPlan::inFolder(const QString &folder, const QString &name) const
{
    const QString sep = Folders::separator();
    return folder + (folder.isEmpty() || folder.endsWith(sep) ? QString() : sep) + name;
}

QString OutputPlan::outputStem(const Job &job, const QDateTime &now)
{
    const QString name = job.newFileName;
    if (!m_staging.isEmpty()) {
        // The disc tools take a project or list of names: a staged copy's
        // name is one they can all spell.
        QString plain = name;
        for (QChar &c : plain) {
            if (c.isSurrogate())
                c = '_';
        }
        return inFolder(m_places.temp + m_staging, FileNames::isPlain(name) ? name : plain);
    }
    if (!m_folder.isEmpty())
        return inFolder(m_folder, name);
    switch (job.source) {
    case Job::Source::Dvd:
        QDir().mkpath(m_places.videos);
        return m_places.videos + name;
    case Job::Source::Cd: {
        // The ten characters before the last separator name the track's rip
        // folder; a new rip starts a new album.
        const QString sep = Folders::separator();
        const int end = int(job.origPathName.lastIndexOf(sep));
        const QString ripFolder = job.origPathName.mid(std::max(0, end - 10), end - std::max(0, end - 10));
        if (ripFolder != srcTemp || desTemp.isEmpty()) {
            srcTemp = ripFolder;
            const QString named = albumFolderName(job.tags.albumArtist, job.tags.album);
            desTemp = named.isEmpty() ? albumName(now) : named;
            QDir().mkpath(m_places.music + desTemp);
            copyRipLog(job.origPathName, m_places.music + desTemp);
        }
        QDir().mkpath(m_places.music + desTemp);
        return m_places.music + desTemp + sep + name;
    }
    default:
        return job.origPathName + name;
    }
}
