#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The machine's optical drives. Drive ids are device nodes ("/dev/sr0").
namespace Drives {

// Device nodes of the optical drives, in the system's order.
QStringList opticalDrives();
// The drive's own identification: vendor (8), model (16) and revision (4),
// each filled out with blanks; empty when the drive doesn't answer.
QString identification(const QString &node);
// A sentence for the user when the drive exists but may not be opened (the
// usual cause is a user outside the cdrom group); empty otherwise.
QString accessProblem(const QString &node);

// Where the disc in the drive at `node` is mounted; any other path (an
// image file, a drive without a mounted disc) as it is.
QString mountPoint(const QString &node);

// Tests stand in for the machine's drives; an empty function restores them.
using Lister = std::function<QStringList()>;
void setLister(Lister lister);

} // namespace Drives
