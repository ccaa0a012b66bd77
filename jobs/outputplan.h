#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

struct Job;

// Where each job's output goes: beside its input, in the chosen folder, CD
// tracks of one rip together in an album folder of the music folder
// ("Performer - Album" from the disc's CD-TEXT, with the rip's log), DVD
// titles in the videos folder, or a burn run's staging folder. Answers the
// output path without extension; the runner claims the first free name.
class OutputPlan
{
public:
    struct Places {
        QString music;  // each with its trailing separator
        QString videos;
        QString temp;
    };

    explicit OutputPlan(const Places &places);
    QString tempFolder() const { return m_places.temp; }

    // The chosen folder (with or without its trailing separator), or "" for
    // beside each input.
    void setFolder(const QString &folder) { m_folder = folder; }
    // A burn run's staging folder, named in the temporary folder; "" when
    // the run burns nothing.
    void setStaging(const QString &name) { m_staging = name; }
    QString staging() const { return m_staging; }

    // The album state survives between runs (and a restart, through the
    // saved job list): the rip folder last converted and its album folder.
    QString srcTemp;
    QString desTemp;

    // Makes the album or videos folder the output needs.
    QString outputStem(const Job &job, const QDateTime &now = QDateTime::currentDateTime());

    // Where the outputs of `jobs` go, in words: "Output: beside each input",
    // the chosen folder, "Music › Album …", "Videos", "image file NAME.iso".
    // `folder` is the chosen one ("" for beside each input); `burnKind` is
    // "dvd" or "cd" when the chosen format burns. "" for no jobs.
    QString description(const QList<Job> &jobs, const QString &folder, const QString &burnKind) const;

    // "Album 2013-6-24 9-5-3": numbers without leading zeros.
    static QString albumName(const QDateTime &when);

private:
    QString inFolder(const QString &folder, const QString &name) const;

    Places m_places;
    QString m_folder;
    QString m_staging;
};
