// What the DVD dialog reads of `ripper SOURCE`, and the rip of a copy's
// progress in chunks cut anywhere.
#include "disc/dvd/rippertext.h"
#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = toolText(data, size);
    const DvdTitles titles = parseDvdListing(text);
    const int count = titles.lengths.size(), longest = titles.longest;
    EXPECT(count <= 99 && longest < count && (longest < 0) == (count == 0));
    // The ticked title is the first of the longest; an unknown length is -1 s.
    const auto seconds = [&](int t) { return titles.lengths[t] < 0 ? -1 : titles.lengths[t] / 1000; };
    for (int t = 0; t < count; ++t)
        EXPECT(titles.lengths[t] >= -1 && (t < longest ? seconds(t) < seconds(longest) : seconds(t) <= seconds(longest))
               && dvdLengthText(titles.lengths[t]).size() >= 8);
    for (int at = 0, cut = 1; at < text.size(); at += cut, cut = cut % 13 + 1) {
        const int percent = parseRipProgress(text.mid(at, cut));
        EXPECT(percent <= 100 && (percent < 0) == !text.mid(at, cut).contains('%')
               && within(overallRipProgress(cut % 3, 3, qMax(percent, 0)), 0, 100));
    }
    return 0;
}
