#pragma once

#include <QString>

// The volume label of a DVD source (device node, DVD folder or ISO image):
// the UDF volume id, else the ISO 9660 one. "" when there is none or the
// source can't be read. Fit for a file name.
QString dvdVolumeLabel(const QString &source);

// The name part for the files of a folder or image the user chose: its volume
// label, else the folder's name (the one above a VIDEO_TS folder) or the
// image's name without its extension.
QString dvdSourceName(const QString &source);
