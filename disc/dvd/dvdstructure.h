#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A DVD-Video as libdvdread reads it: each title's chapter count, and a
// checksum of each title set's files (its information file and its title
// VOBs; set 0 is the video manager).
struct DvdStructure {
    QList<int> chapters;
    QList<QByteArray> titleSetSums;
    // Why it couldn't be read; "" when it could.
    QString problem;
};

// `source` is a device node, a DVD folder or an ISO image.
DvdStructure readDvdStructure(const QString &source);

// "" when `written` holds what `authored` holds; else what differs, in a
// few words ("title 1 has 2 chapters, not 3", "title set 1 differs").
QString compareDvdStructures(const DvdStructure &authored, const DvdStructure &written);
