#include "disc/cd/riplog.h"

#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"

#include <QFileInfo>

#include <unistd.h>

namespace {

QString hex(quint32 value)
{
    return QString("%1").arg(value, 8, 16, QChar('0'));
}

QString line(const QString &key, const QString &value)
{
    return key + ": " + value + "\n";
}

} // namespace

QString ripLogHeader(const RipLogDisc &disc)
{
    const RipOptions &o = disc.options;
    const QString mode = QString(o.mode == RipOptions::Mode::Secure ? "Secure" : "Fast")
                         + (o.testAndCopy ? ", test and copy" : "");
    return "MediaForgeStudio rip log\n" + line("Source", disc.source) + line("Mode", mode)
           + line("Read offset", QString::number(o.offset) + " samples")
           + line("MusicBrainz disc id", disc.musicBrainzId) + line("freedb id", disc.freedbId)
           + line("Album", disc.album) + line("Performer", disc.performer);
}

QString ripLogTrack(const TrackRip &rip, const QString &title, const QString &performer, const QString &failure)
{
    QString result = "OK";
    if (!failure.isEmpty())
        result = "Not ripped: " + failure;
    else if (rip.unrecoverable > 0)
        result = "Unrecoverable sectors";
    else if (rip.mismatch)
        result = "Test and copy mismatch";
    return "\nTrack " + QString::number(rip.number) + "\n"
           + "  " + line("File", QFileInfo(rip.file).fileName()) + "  " + line("Title", title)
           + "  " + line("Performer", performer)
           + "  " + line("Sectors", QString("%1-%2").arg(rip.firstSector).arg(rip.lastSector))
           + "  " + line("CRC32", hex(rip.crc32)) + "  " + line("AccurateRip v1", hex(rip.accurateRipV1))
           + "  " + line("AccurateRip v2", hex(rip.accurateRipV2))
           + "  " + line("Re-reads", QString::number(rip.rereads))
           + "  " + line("Unrecoverable sectors", QString::number(rip.unrecoverable)) + "  " + line("Result", result);
}

TrackTags tagsInRipLog(const QString &log, const QString &fileName)
{
    QString album, performer, title, artist, file;
    int track = 0;
    TrackTags found;
    auto take = [&] {
        if (file != fileName || track == 0 || found.track != 0)
            return;
        found = {title, artist.isEmpty() ? performer : artist, album, performer, track};
    };
    for (const QString &text : log.split('\n')) {
        if (text.startsWith("Track ")) {
            take();
            track = text.mid(6).toInt();
            title.clear(), artist.clear(), file.clear();
            continue;
        }
        const int colon = int(text.indexOf(": "));
        const QString key = text.left(colon).trimmed(), value = colon < 0 ? QString() : text.mid(colon + 2);
        if (track == 0 && key == "Album")
            album = value;
        else if (track == 0 && key == "Performer")
            performer = value;
        else if (track > 0 && key == "File")
            file = value;
        else if (track > 0 && key == "Title")
            title = value;
        else if (track > 0 && key == "Performer")
            artist = value;
    }
    take();
    return found.isEmpty() ? TrackTags() : found;
}

TrackTags ripTags(const QString &wavPath)
{
    const QString folder = wavPath.left(wavPath.lastIndexOf(Folders::separator()) + 1);
    const int fd = FileNames::openRead(folder + ripLogName);
    if (fd < 0)
        return {};
    // A rip log is a few kilobytes; anything far larger is no log of ours.
    QByteArray bytes(1 << 20, Qt::Uninitialized);
    qint64 size = 0, n = 0;
    while (size < bytes.size() && (n = ::read(fd, bytes.data() + size, size_t(bytes.size() - size))) > 0)
        size += n;
    ::close(fd);
    bytes.truncate(size);
    return tagsInRipLog(FileNames::decode(bytes), wavPath.mid(folder.size()));
}

bool copyRipLog(const QString &fromFolder, const QString &toFolder)
{
    const int in = FileNames::openRead(fromFolder + ripLogName);
    if (in < 0)
        return false;
    const QString to = toFolder + Folders::separator() + ripLogName;
    const int out = OwnFiles::createFile(to);
    bool copied = out >= 0;
    char buffer[8192];
    for (qint64 n = 0; copied && (n = ::read(in, buffer, sizeof buffer)) > 0;)
        copied = OwnFiles::writeAll(out, buffer, n);
    ::close(in);
    if (out >= 0) {
        ::close(out);
        if (!copied)
            OwnFiles::remove(to);
        // The album's, as its tracks are: left when the program ends.
        OwnFiles::forget(to);
    }
    return copied;
}
