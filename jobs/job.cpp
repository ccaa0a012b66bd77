#include "jobs/job.h"

#include "media/clocktext.h"

#include <algorithm>

namespace {

const QStringList sourceNames{"file", "cd", "dvd", "burn_dvd", "burn_cd"};

} // namespace

QString Job::status() const
{
    switch (state) {
    case State::Loading:
    case State::Waiting:
        return "wait";
    case State::Converting:
        return QString::number(percent()) + "%";
    case State::Done:
        return "complete";
    case State::Failed:
        return "error";
    case State::Removing:
        return "remove";
    }
    return "wait";
}

int Job::workSeconds() const
{
    if (isBurn())
        return burnWorkSeconds;
    return std::max(0, clockSeconds(duration));
}

int Job::percent() const
{
    const int total = workSeconds();
    if (total <= 0)
        return 0;
    return int(std::clamp<qint64>(qint64(secondsDone) * 100 / total, 0, 100));
}

bool Job::takeProbe(const QStringList &fileInfo, const QStringList &video, const QStringList &audio)
{
    if (video.isEmpty() && audio.isEmpty())
        return false;
    probed = true;
    origFileName = fileInfo.value(0);
    origPathName = fileInfo.value(1);
    newFileName = fileInfo.value(2);
    if (source != Source::Dvd)
        duration = fileInfo.value(3);
    thumbnail = fileInfo.value(4);
    videoInfo = video;
    audioInfo = audio;
    videoCodec = video.value(0);
    wxh = video.value(2);
    audioCodec = audio.value(0);
    return true;
}

QStringList metadataArguments(const TrackTags &tags)
{
    if (tags.isEmpty())
        return {};
    QStringList args;
    auto add = [&args](const char *key, const QString &value) {
        if (!value.isEmpty())
            args << "-metadata" << QString(key) + "=" + value;
    };
    add("title", tags.title);
    add("artist", tags.artist);
    add("album", tags.album);
    add("track", tags.track > 0 ? QString::number(tags.track) : QString());
    return args;
}

QString noStreamsText(const QString &fileName)
{
    return "FFmpeg is unable to extract any valid video or audio stream from the input file " + fileName + ".";
}

QString sourceName(Job::Source source)
{
    return sourceNames.at(int(source));
}

bool sourceFromName(const QString &name, Job::Source *source)
{
    const int at = int(sourceNames.indexOf(name));
    if (at < 0)
        return false;
    *source = Job::Source(at);
    return true;
}

QString baseName(const QString &fileName)
{
    const int dot = int(fileName.lastIndexOf('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}
