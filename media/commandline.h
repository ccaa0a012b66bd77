#pragma once

#include <QString>
#include <QStringList>

// Turns a preset's argument text into the converter's preset arguments,
// fitting its frame box to the input's proportions, or switching video off
// for inputs without video (a DVD preset gets a black picture instead).
// `aspect` is the input's "WxH", empty without video.
QStringList buildPresetArguments(const QString &ffmpegArgs, const QString &aspect);

// The largest even-sided frame inside boxW x boxH with the proportions of
// srcW x srcH. Returns false when the sizes can't be fitted.
bool fitFrame(int srcW, int srcH, int boxW, int boxH, int *width, int *height);

// The frame size the fitting uses: the start of the third video field, empty
// for inputs without video.
QString probedFrameSize(const QStringList &fileVideoInfo);
