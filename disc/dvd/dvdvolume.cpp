#include "disc/dvd/dvdvolume.h"

#include "platform/filenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dvdread/dvd_reader.h>

namespace {

void quiet(void *, dvd_logger_level_t, const char *, va_list) {}

QString fileNamePart(QString name)
{
    for (QChar &c : name) {
        if (c == '/' || c.category() == QChar::Other_Control)
            c = '_';
    }
    return name.trimmed();
}

} // namespace

QString dvdVolumeLabel(const QString &source)
{
    // libdvdread complains on stderr about a path that isn't there.
    if (!FileNames::exists(source))
        return {};
    static const dvd_logger_cb logger{quiet};
    dvd_reader_t *dvd = DVDOpen2(nullptr, &logger, FileNames::encode(source).constData());
    if (!dvd)
        return {};
    char id[33] = {};
    QString label;
    if (DVDUDFVolumeInfo(dvd, id, sizeof id, nullptr, 0) == 0 && id[0])
        label = QString::fromLatin1(id);
    else if (DVDISOVolumeInfo(dvd, id, sizeof id, nullptr, 0) == 0)
        label = QString::fromLatin1(id);
    DVDClose(dvd);
    return fileNamePart(label);
}

QString dvdSourceName(const QString &source)
{
    const QString label = dvdVolumeLabel(source);
    if (!label.isEmpty())
        return label;
    const QFileInfo info(QDir::cleanPath(source));
    if (!info.isDir())
        return info.completeBaseName();
    if (info.fileName().compare("VIDEO_TS", Qt::CaseInsensitive) == 0)
        return QFileInfo(info.absolutePath()).fileName();
    return info.fileName();
}
