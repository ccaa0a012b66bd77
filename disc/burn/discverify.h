#pragma once

#include "disc/cd/cddevice.h"

#include <QString>
#include <QStringList>

#include <functional>

// Reading back what a burn wrote and comparing it by checksum. Each answer
// is "" when all is the same, else what differs in a few words ("track 3
// differs"). `progress` hears 0 to 100; its false stops the reading (with
// the answer "stopped").
namespace DiscVerify {

using Progress = std::function<bool(int percent)>;

// The first bytes of the drive `device` against the image file `image`.
// A drive that has just written may not read at once: it is waited for up
// to `readyMs`.
QString compareImage(const QString &image, const QString &device, int readyMs, const Progress &progress = {});

// The audio CD in `device` (a drive, or a disc image) read through `reader`,
// track by track against the WAV files that were burned, each padded to
// whole sectors. A drive reads a constant number of samples early or late
// (its read offset); it is found from the first sound and allowed for, and
// what it pushes off either end of the disc isn't compared.
QString compareTracks(CdDevice &reader, const QString &device, const QStringList &wavFiles, int readyMs,
                      const Progress &progress = {});

} // namespace DiscVerify
