#pragma once

#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <signal.h>

// Writes `path` with ffmpeg from generated sources, one input per filter graph.
inline bool lavfi(const QString &path, const QStringList &sources, const QStringList &options)
{
    QStringList args{"-v", "error", "-nostdin", "-y"};
    for (const QString &source : sources)
        args << "-f" << "lavfi" << "-i" << source;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return QProcess::execute("ffmpeg", args + options + QStringList{path}) == 0;
}

// Three-second inputs: "audio", "video" (16:9), or "av" (4:3 with sound,
// colour tagged so the probe sees commas inside brackets).
inline bool makeMedia(const QString &path, const QString &kind)
{
    const QString tone = "sine=frequency=440:sample_rate=22050:duration=3";
    const QString picture = "testsrc2=size=%1:rate=25:duration=3";
    const QStringList h264{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};
    if (kind == "audio")
        return lavfi(path, {tone}, {});
    if (kind == "video")
        return lavfi(path, {picture.arg("192x108")}, h264);
    return lavfi(path, {picture.arg("160x120"), tone},
                 h264 + QStringList{"-colorspace", "bt709", "-color_primaries", "bt709",
                                    "-color_trc", "bt709", "-c:a", "aac"});
}

// A product folder with its temporary folder made, as the program makes it.
struct Scratch : ScratchProduct {
    Scratch() { QDir().mkpath(temp()); }
};

// The scripted ffmpeg stand-in alone on PATH while it lives, playing `mode`;
// it keeps its pid and arguments in `folder` and waits there for a "go" file.
class StandIn : PathPrefix
{
public:
    StandIn(const QByteArray &mode, const QString &folder, const QString &kind = "scripted")
        : PathPrefix(testData("stand-ins/" + kind), true), m_folder(folder)
    {
        qputenv("MFS_FAKE_MODE", mode);
        qputenv("MFS_FAKE_DIR", QFile::encodeName(folder));
    }
    ~StandIn()
    {
        qunsetenv("MFS_FAKE_MODE");
        qunsetenv("MFS_FAKE_DIR");
    }
    bool alive() const
    {
        QFile f(m_folder + "/ffmpeg.pid");
        const qint64 pid = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : -1;
        return pid > 0 && ::kill(pid_t(pid), 0) == 0;
    }

private:
    QString m_folder;
};
