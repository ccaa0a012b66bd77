#pragma once

#include "disc/cd/riplog.h"

#include <QString>
#include <QStringList>

// One entry of the job list: a file, a CD track or a DVD title to convert,
// or the burn that ends a disc run.
struct Job {
    enum class Source { File, Cd, Dvd, BurnDvd, BurnCd };
    enum class State {
        Loading,    // waiting for its probe
        Waiting,    // ready to convert
        Converting,
        Done,
        Failed,
        Removing,   // stopped at the user's request, gone once its converter is
    };
    // Why a job failed, for callers that act on the kind rather than the text.
    enum class Error { None, NoStreams, Converter, Staging, Burn };

    quint64 id = 0;
    Source source = Source::File;
    State state = State::Loading;
    // The input as it was added; a burn's drive (or image file).
    QString fileName;
    // From the probe: name, folder (with its separator), the output's base
    // name (editable while waiting), duration "hh:mm:ss", codecs, frame size.
    QString origFileName;
    QString origPathName;
    QString newFileName;
    QString duration;
    QString videoCodec;
    QString audioCodec;
    QString wxh;
    QString thumbnail;
    // The probe's whole stream descriptions.
    QStringList videoInfo;
    QStringList audioInfo;
    // The output once it is chosen; a burn's preset caption.
    QString finalOutput;
    Error error = Error::None;
    QString errorMsg;
    bool selected = false;
    // Its probe has answered (jobs of sound-only runs of the command line
    // are not probed: their conversion names the duration).
    bool probed = false;
    // A CD track's tags, from the rip's log; empty without CD-TEXT.
    TrackTags tags;
    // While converting: seconds of media done, and the time left as text.
    int secondsDone = 0;
    QString timeLeft;

    bool isBurn() const { return source == Source::BurnDvd || source == Source::BurnCd; }
    bool isFinished() const { return state == State::Done || state == State::Failed; }
    QString inputPath() const { return origPathName + origFileName; }
    // The page's status text: "wait", "NN%", "complete", "error" or "remove".
    QString status() const;
    // Seconds of work the job adds to a run: its duration, ten minutes for a
    // burn, nothing when the duration is no clock time.
    int workSeconds() const;
    // Whole percent done, 0 to 100.
    int percent() const;

    // Takes a probe's answer (name parts, streams, thumbnail); a DVD title
    // keeps the length its rip gave it. False when the input has no stream.
    bool takeProbe(const QStringList &fileInfo, const QStringList &video, const QStringList &audio);
};

// ffmpeg's -metadata arguments for a converted CD track's tags.
QStringList metadataArguments(const TrackTags &tags);

QString sourceName(Job::Source source);
// False for a name that is no source.
bool sourceFromName(const QString &name, Job::Source *source);
// The input's file name without the part from its last dot.
QString baseName(const QString &fileName);

// Why an input is not converted when ffmpeg finds no stream in it.
QString noStreamsText(const QString &fileName);

// What a burn counts in a run's work.
constexpr int burnWorkSeconds = 600;
