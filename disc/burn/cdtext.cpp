#include "disc/burn/cdtext.h"

#include <QList>
#include <QSet>

#include <algorithm>

bool CdText::isEmpty() const
{
    const auto blank = [](const QStringList &texts) {
        return std::all_of(texts.cbegin(), texts.cend(), [](const QString &t) { return t.trimmed().isEmpty(); });
    };
    return title.trimmed().isEmpty() && performer.trimmed().isEmpty() && blank(trackTitles)
           && blank(trackPerformers);
}

namespace CdTextFile {

namespace {

enum PackType : quint8 { titlePack = 0x80, performerPack = 0x81, sizePack = 0x8f };
const int packBytes = 18;
const int maxPacks = 256;

// CRC-16 (CCITT) over the pack's first 16 bytes, stored inverted.
quint16 crc(const char *data, int size)
{
    quint16 value = 0;
    for (int i = 0; i < size; ++i) {
        value ^= quint16(quint8(data[i])) << 8;
        for (int bit = 0; bit < 8; ++bit)
            value = value & 0x8000 ? quint16((value << 1) ^ 0x1021) : quint16(value << 1);
    }
    return quint16(~value);
}

// The packs of one kind: the album's text (track 0), then each track's,
// each ended by a zero byte and run together 12 bytes a pack. A pack names
// the track its first byte belongs to and how far into that text it is.
QList<QByteArray> textPacks(quint8 type, const QList<QByteArray> &texts)
{
    QByteArray stream;
    QList<quint8> tracks;
    QList<int> positions;
    for (int t = 0; t < texts.size(); ++t) {
        const QByteArray text = texts.at(t) + '\0';
        for (int i = 0; i < text.size(); ++i) {
            stream += text.at(i);
            tracks << quint8(t);
            positions << i;
        }
    }
    QList<QByteArray> packs;
    for (int at = 0; at < stream.size(); at += 12) {
        QByteArray pack(packBytes, '\0');
        pack[0] = char(type);
        pack[1] = char(tracks.at(at));
        pack[3] = char(qMin(positions.at(at), 15)); // block 0, one-byte characters
        const QByteArray part = stream.mid(at, 12);
        pack.replace(4, part.size(), part);
        packs << pack;
    }
    return packs;
}

QList<QByteArray> kind(quint8 type, const QString &album, const QStringList &tracks, int count, int limit)
{
    QList<QByteArray> texts{latin1(album, limit)};
    bool any = !texts.first().isEmpty();
    for (int t = 0; t < count; ++t) {
        texts << latin1(tracks.value(t), limit);
        any = any || !texts.last().isEmpty();
    }
    return any ? textPacks(type, texts) : QList<QByteArray>();
}

} // namespace

QByteArray latin1(const QString &text, int limit)
{
    QByteArray out;
    for (const QChar c : text.simplified()) {
        if (out.size() >= limit)
            break;
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            continue;
        if (c.unicode() <= 0xff) {
            out += char(c.unicode());
            continue;
        }
        // "Ł" keeps no base letter in ISO 8859-1 and becomes "?".
        const QString base = QString(c).normalized(QString::NormalizationForm_KD);
        out += !base.isEmpty() && base.at(0).unicode() < 0x80 && base.at(0).unicode() >= 0x20 ? char(base.at(0).unicode())
                                                                                               : '?';
    }
    return out;
}

QString albumPerformer(const QStringList &trackPerformers)
{
    QSet<QString> named;
    for (const QString &p : trackPerformers) {
        if (!p.trimmed().isEmpty())
            named.insert(p.trimmed());
    }
    if (named.size() > 1)
        return "Various Artists";
    return named.isEmpty() ? QString() : *named.cbegin();
}

QByteArray packs(const CdText &text)
{
    const int count = int(qMax(text.trackTitles.size(), text.trackPerformers.size()));
    QList<QByteArray> titles, performers;
    for (const int limit : {160, 80, 40, 20, 10, 5, 0}) {
        titles = kind(titlePack, text.title, text.trackTitles, count, limit);
        performers = kind(performerPack, text.performer, text.trackPerformers, count, limit);
        if (titles.size() + performers.size() + 3 <= maxPacks)
            break;
    }
    if (titles.isEmpty() && performers.isEmpty())
        return {};

    // The size information: character code, track range, packs per kind,
    // the block's last sequence number and its language.
    QByteArray size(36, '\0');
    size[0] = 0x00; // ISO 8859-1
    size[1] = 1;
    size[2] = char(count);
    size[4 + 0] = char(titles.size());
    size[4 + 1] = char(performers.size());
    size[4 + 15] = 3;
    const int total = int(titles.size() + performers.size() + 3);
    size[20] = char(total - 1);
    size[28] = 0x09; // English
    QList<QByteArray> all = titles + performers;
    for (int i = 0; i < 3; ++i) {
        QByteArray pack(packBytes, '\0');
        pack[0] = char(sizePack);
        pack[1] = char(i);
        pack.replace(4, 12, size.mid(12 * i, 12));
        all << pack;
    }

    QByteArray file(4, '\0');
    const int length = total * packBytes + 2;
    file[0] = char(length >> 8);
    file[1] = char(length & 0xff);
    for (int i = 0; i < all.size(); ++i) {
        QByteArray pack = all.at(i);
        pack[2] = char(i);
        const quint16 sum = crc(pack.constData(), 16);
        pack[16] = char(sum >> 8);
        pack[17] = char(sum & 0xff);
        file += pack;
    }
    return file;
}

} // namespace CdTextFile
