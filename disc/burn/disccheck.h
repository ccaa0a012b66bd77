#pragma once

#include <QList>
#include <QString>

// Where a run can be burned to, and whether it fits there. No widgets: the
// burner dialog and a command line use the same list and checks.
namespace DiscCheck {

// An id is a device node ("/dev/sr0"), or the path of an image file: ".iso"
// for a DVD, ".cue" for an audio CD (its ".bin" beside it).
struct Target {
    QString label;
    QString id;         // empty for the image entry until a file is named
    bool image = false;
};
// The optical drives ("/dev/sr0 [identification]"), then "Image file".
QList<Target> targets();

bool isImage(const QString &id);
// The file name with the image suffix of the disc type, added when missing.
QString imagePath(const QString &fileName, const QString &discType);
// The data file a cue sheet names.
QString binBeside(const QString &cuePath);

// "" when the run of `seconds` fits on the target; otherwise what to tell the
// user: a disc that isn't blank or is too small, a missing tool, a drive the
// user may not open, an image that can't be written or has no room.
QString checkDisc(const QString &deviceId, int seconds, const QString &discType);

} // namespace DiscCheck
