#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <signal.h>

// Small inputs made with ffmpeg's generated sources: "audio", "video" (16:9),
// or "av" (4:3, colour-tagged, with sound).
inline bool makeMedia(const QString &path, const QString &kind, int seconds = 2)
{
    const QString t = QString::number(seconds);
    const QStringList video{"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25"};
    const QStringList wide{"-f", "lavfi", "-i", "testsrc2=size=192x108:rate=25"};
    const QStringList audio{"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050"};
    const QStringList h264{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};
    QStringList args{"-v", "error", "-nostdin", "-y"};
    if (kind == "audio")
        args << audio;
    else if (kind == "video")
        args << wide << h264;
    else
        args << video << audio << h264 << "-color_primaries" << "bt709" << "-color_trc" << "bt709"
             << "-colorspace" << "bt709" << "-c:a" << "aac";
    args << "-t" << t << path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return QProcess::execute("ffmpeg", args) == 0;
}

inline bool processAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

inline qint64 readPid(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : -1;
}
