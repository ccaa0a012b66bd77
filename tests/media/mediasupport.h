#pragma once

#include "platform/filenames.h"
#include "support/testsupport.h"

#include <fcntl.h>
#include <unistd.h>

// A name that is not UTF-8 ("café" in Latin-1), as the program holds it.
inline QString latin1Name(const char *rest)
{
    return FileNames::decode(QByteArray("caf\xe9") + rest);
}

// Writes a new file by the bytes of its name, which Qt's file classes can't
// make when they are not UTF-8.
inline bool writeNamed(const QString &path, const QByteArray &bytes = "x")
{
    const int fd = ::open(FileNames::encode(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    const bool ok = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return fd >= 0 && ::close(fd) == 0 && ok;
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
