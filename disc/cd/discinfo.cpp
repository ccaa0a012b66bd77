#include "disc/cd/discinfo.h"

#include <discid/discid.h>

#include <memory>

namespace {

// The lead-out and lead-in of a second session lie between the last audio
// track and the data track of an enhanced CD.
constexpr int sessionGap = 11400;
// File names hold at most 255 bytes; room is kept for " (New)(99).flac".
constexpr int longestTitleBytes = 200;

} // namespace

int tocFrames(const TocEntry &entry)
{
    return entry.minute * 4500 + entry.second * 75 + entry.frame;
}

QString musicBrainzDiscId(const CdToc &toc)
{
    const int count = toc.lastTrack - toc.firstTrack + 1;
    if (count < 1 || toc.entries.size() < count + 1)
        return {};
    int audio = count;
    while (audio > 0 && toc.entries.at(audio - 1).data)
        --audio;
    if (audio == 0)
        return {};
    int offsets[100] = {};
    for (int k = 0; k < audio && k < 99; ++k)
        offsets[k + 1] = tocFrames(toc.entries.at(k));
    offsets[0] = tocFrames(toc.entries.at(audio)) - (audio < count ? sessionGap : 0);
    const std::unique_ptr<DiscId, void (*)(DiscId *)> disc(discid_new(), discid_free);
    if (!discid_put(disc.get(), toc.firstTrack, toc.firstTrack + audio - 1, offsets))
        return {};
    return QString::fromLatin1(discid_get_id(disc.get()));
}

QString freedbDiscId(const CdToc &toc)
{
    const int count = toc.lastTrack - toc.firstTrack + 1;
    if (count < 1 || toc.entries.size() < count + 1)
        return {};
    auto digitSum = [](int n) {
        int sum = 0;
        for (; n > 0; n /= 10)
            sum += n % 10;
        return sum;
    };
    int sums = 0;
    for (int k = 0; k < count; ++k)
        sums += digitSum(tocFrames(toc.entries.at(k)) / 75);
    const int seconds = tocFrames(toc.entries.at(count)) / 75 - tocFrames(toc.entries.at(0)) / 75;
    const quint32 id = quint32(sums % 0xff) << 24 | quint32(seconds & 0xffff) << 8 | quint32(count & 0xff);
    return QString("%1").arg(id, 8, 16, QChar('0'));
}

QString fileNamePart(const QString &text)
{
    QString part;
    for (const QChar c : text)
        part += c == '/' || c == '\\' ? QChar('-') : c.category() == QChar::Other_Control ? QChar(' ') : c;
    part = part.simplified();
    while (part.startsWith('.') || part.endsWith('.') || part.endsWith(' '))
        part = (part.startsWith('.') ? part.mid(1) : part.chopped(1)).trimmed();
    while (part.toUtf8().size() > longestTitleBytes)
        part.chop(part.back().isLowSurrogate() ? 2 : 1);
    return part.trimmed();
}

QString trackFileName(int number, const QString &title)
{
    const QString name = fileNamePart(title);
    if (name.isEmpty())
        return "Track " + QString::number(number) + ".wav";
    return QString("%1 %2.wav").arg(number, 2, 10, QChar('0')).arg(name);
}

QString albumFolderName(const QString &performer, const QString &album)
{
    const QString title = fileNamePart(album);
    if (title.isEmpty())
        return {};
    const QString artist = fileNamePart(performer);
    return artist.isEmpty() ? title : artist + " - " + title;
}
