#pragma once

#include "disc/cdtext.h"

#include <QByteArray>

namespace CdTextFile {

// A text as CD-TEXT holds it: ISO 8859-1 (a letter outside it by its base
// letter, else "?"), no control characters, at most `limit` characters.
QByteArray latin1(const QString &text, int limit = 160);

// The album's performer: the one all performing tracks share, "Various
// Artists" when they differ, "" when no track names one.
QString albumPerformer(const QStringList &trackPerformers);

// One English block of CD-TEXT in ISO 8859-1 as cdrskin's and wodim's
// textfile= read it: a 4-byte header, then 18-byte packs (titles,
// performers, the size information), each with its CRC. Texts are cut
// short as far as needed to fit the block's 256 packs.
QByteArray packs(const CdText &text);

} // namespace CdTextFile
