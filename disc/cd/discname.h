#pragma once

#include <QString>

// The name a drive list shows beside a drive: the CD-TEXT album title when
// the disc has one, else the ISO 9660 volume id, else nothing.
QString discName(const QString &albumTitle, const QString &volumeId);
// Reads both from the disc in the drive (or the image) `id`.
QString readDiscName(const QString &id);
// "/dev/sr0 MYDISC", or the id alone when the disc has no name.
QString driveEntryText(const QString &id, const QString &name);
