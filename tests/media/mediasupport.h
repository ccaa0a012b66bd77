#pragma once

#include "support/testsupport.h"

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
