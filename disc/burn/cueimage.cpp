#include "disc/burn/cueimage.h"

#include "platform/filenames.h"
#include "platform/ownfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace CueImage {

namespace {

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

QString msf(qint64 sector)
{
    return QString("%1:%2:%3")
        .arg(sector / (75 * 60), 2, 10, QChar('0'))
        .arg(sector / 75 % 60, 2, 10, QChar('0'))
        .arg(sector % 75, 2, 10, QChar('0'));
}

} // namespace

bool wavPayload(QIODevice &wav, Payload *payload, QString *error)
{
    const QByteArray head = wav.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        *error = "it is not a WAV file";
        return false;
    }
    bool cdFormat = false;
    bool haveFormat = false;
    for (;;) {
        char chunk[8];
        if (wav.read(chunk, 8) != 8)
            break;
        const qint64 size = le32(chunk + 4);
        const qint64 start = wav.pos();
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            char fmt[40] = {};
            const qint64 got = wav.read(fmt, qMin<qint64>(size, sizeof fmt));
            if (got < 16)
                break;
            quint16 tag = le16(fmt);
            // WAVE_FORMAT_EXTENSIBLE names its real format in the sub-format.
            if (tag == 0xFFFE && got >= 26)
                tag = le16(fmt + 24);
            haveFormat = true;
            cdFormat = tag == 1 && le16(fmt + 2) == 2 && le32(fmt + 4) == 44100 && le16(fmt + 14) == 16;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || !cdFormat) {
                *error = "it is not CD audio (44.1 kHz, 16-bit, stereo)";
                return false;
            }
            // A size left unset by a writer that couldn't seek back runs to the end.
            payload->offset = start;
            payload->size = qMin(size, wav.size() - start);
            if (payload->size > 0)
                return true;
            break;
        }
        // Chunks are padded to an even length.
        if (!wav.seek(start + size + (size & 1)))
            break;
    }
    *error = "it holds no samples";
    return false;
}

QByteArray cueSheet(const QString &binName, const QList<qint64> &trackSectors, const Extras &extras)
{
    const CdText &text = extras.text;
    // CD-TEXT in ISO 8859-1, as libcdio and the burners read a sheet; a
    // double quote would end the text early.
    const auto line = [](const char *indent, const char *keyword, const QString &value) {
        const QByteArray bytes = CdTextFile::latin1(value).replace('"', '\'');
        return bytes.isEmpty() ? QByteArray() : indent + QByteArray(keyword) + " \"" + bytes + "\"\n";
    };
    QByteArray cue = line("", "PERFORMER", text.performer) + line("", "TITLE", text.title);
    // The name's own bytes, as the file system holds them.
    cue += "FILE \"" + FileNames::encode(binName) + "\" BINARY\n";
    qint64 start = 0;
    for (int i = 0; i < trackSectors.size(); ++i) {
        cue += QString("  TRACK %1 AUDIO\n").arg(i + 1, 2, 10, QChar('0')).toLatin1();
        cue += line("    ", "TITLE", text.trackTitles.value(i)) + line("    ", "PERFORMER", text.trackPerformers.value(i));
        if (i > 0 && extras.gapSectors > 0) {
            cue += "    INDEX 00 " + msf(start).toLatin1() + "\n";
            start += extras.gapSectors;
        }
        cue += "    INDEX 01 " + msf(start).toLatin1() + "\n";
        start += trackSectors.at(i);
    }
    return cue;
}

QString nameProblem(const QString &binName)
{
    if (binName.contains('"'))
        return "The name of a CD image may not contain double quotes: its cue sheet names the .bin file in quotes.";
    for (const QChar c : binName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return "The name of a CD image may not contain line breaks or other control characters: its cue sheet "
                   "names the .bin file on one line.";
    }
    return {};
}

bool write(const QStringList &wavFiles, int bin, int cue, const QString &binName, QString *error,
           const std::function<bool(int)> &progress, const Extras &extras)
{
    if (wavFiles.isEmpty()) {
        *error = "There are no tracks to write.";
        return false;
    }
    if (wavFiles.size() > 99) {
        *error = "An audio CD holds at most 99 tracks.";
        return false;
    }
    const QString unnamable = nameProblem(binName);
    if (!unnamable.isEmpty()) {
        *error = unnamable;
        return false;
    }
    QList<Payload> payloads;
    qint64 total = 0;
    for (const QString &name : wavFiles) {
        QFile wav(name);
        Payload p;
        QString why;
        if (!wav.open(QIODevice::ReadOnly) || !wavPayload(wav, &p, &why)) {
            *error = QFileInfo(name).fileName() + " can't be written to the CD image: "
                     + (why.isEmpty() ? wav.errorString() : why) + ".";
            return false;
        }
        payloads << p;
        total += p.size;
    }

    // Straight to the file, so that a full disk is told by its own name.
    auto put = [](int fd, const QByteArray &bytes) { return OwnFiles::writeAll(fd, bytes.constData(), bytes.size()); };
    auto failed = [error](const QString &what) {
        *error = what + " can't be written: " + OwnFiles::errorText(errno) + ".";
        return false;
    };
    QList<qint64> sectors;
    qint64 done = 0;
    int shown = -1;
    for (int i = 0; i < wavFiles.size(); ++i) {
        if (i > 0 && extras.gapSectors > 0 && !put(bin, QByteArray(qint64(extras.gapSectors) * sectorBytes, '\0')))
            return failed("The CD image");
        QFile wav(wavFiles.at(i));
        if (!wav.open(QIODevice::ReadOnly) || !wav.seek(payloads[i].offset)) {
            *error = QFileInfo(wavFiles.at(i)).fileName() + " can't be read: " + wav.errorString() + ".";
            return false;
        }
        qint64 left = payloads[i].size;
        while (left > 0) {
            const QByteArray block = wav.read(qMin<qint64>(left, 1 << 20));
            if (block.isEmpty()) {
                *error = QFileInfo(wavFiles.at(i)).fileName() + " can't be read: " + wav.errorString() + ".";
                return false;
            }
            if (!put(bin, block))
                return failed("The CD image");
            left -= block.size();
            done += block.size();
            const int percent = total > 0 ? int(done * 100 / total) : 100;
            if (progress && percent != shown && !progress(shown = percent))
                return false;
        }
        // The last sector of a track is filled up with silence.
        const qint64 tail = (sectorBytes - payloads[i].size % sectorBytes) % sectorBytes;
        if (!put(bin, QByteArray(tail, '\0')))
            return failed("The CD image");
        sectors << (payloads[i].size + tail) / sectorBytes;
    }
    if (::fsync(bin) != 0)
        return failed("The CD image");
    if (!put(cue, cueSheet(binName, sectors, extras)) || ::fsync(cue) != 0)
        return failed("The cue sheet");
    return true;
}

} // namespace CueImage
