#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// One probe of an input with ffmpeg: what FileInfoThread answers, for
// whoever runs it (the probe thread, the job engine's pool of probes).
namespace Probe {

struct Answer {
    // Name, folder (with its separator), base name, duration "hh:mm:ss",
    // thumbnail path ("" without one).
    QStringList fileInfo;
    QStringList video;
    QStringList audio;
};

// Runs ffmpeg on `path`. With a thumbnail folder, the same run takes the
// picture when the input has one: a short input's picture is taken at one
// second, so one run serves both; a long one's needs a second run at a
// twentieth of its length. Each run is killed after `waitMs`, or at once when
// `quit` is raised.
Answer run(const QString &ffmpeg, const QString &path, const QString &thumbnailFolder,
           const std::atomic<bool> &quit, int waitMs);

} // namespace Probe
