// What the DVD dialog reads of `ripper SOURCE`, and what the rip reads of a
// copy's progress, in chunks cut anywhere.
#include "disc/dvd/rippertext.h"
#include "fuzzing.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = toolText(data, size);
    const DvdTitles titles = parseDvdListing(text);
    const QList<qint64> &lengths = titles.lengths;
    EXPECT(lengths.size() <= 99 && titles.longest < lengths.size() && (titles.longest < 0) == lengths.isEmpty());
    const auto seconds = [&](int t) { return lengths[t] < 0 ? -1 : lengths[t] / 1000; };
    for (int t = 0; t < lengths.size(); ++t) {
        // The ticked title is the first of the longest.
        EXPECT(lengths[t] >= -1 && (t < titles.longest ? seconds(t) < seconds(titles.longest)
                                                       : seconds(t) <= seconds(titles.longest)));
        EXPECT(QRegularExpression("^\\d\\d+:\\d\\d:\\d\\d$").match(dvdLengthText(lengths[t])).hasMatch());
    }
    const int count = 1 + int(size % 5);
    for (int at = 0, chunk = 0; at < text.size(); at += 1 + chunk++ % 13) {
        const QString part = text.mid(at, 1 + chunk % 13);
        const int percent = parseRipProgress(part);
        EXPECT(percent <= 100 && (percent < 0) == !part.contains('%'));
        const int overall = overallRipProgress(chunk % count, count, qMax(percent, 0));
        EXPECT(overall >= 0 && overall <= 100);
    }
    return 0;
}
