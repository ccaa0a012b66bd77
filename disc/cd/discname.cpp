#include "disc/cd/discname.h"

QString discName(const QString &albumTitle, const QString &volumeId)
{
    const QString album = albumTitle.trimmed();
    return album.isEmpty() ? volumeId.trimmed() : album;
}

QString driveEntryText(const QString &id, const QString &name)
{
    return name.isEmpty() ? id : id + " " + name;
}
