// What the burner reads of its tools, and the disc checks' verdicts on
// dvd+rw-mediainfo and the CD-state tool.
#include "disc/burn/burnparse.h"
#include "fuzzing.h"

using namespace BurnParse;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = toolText(data, size);
    for (qint64 total : {qint64(0), qint64(700) << 20, qint64(9) << 30})
        EXPECT(within(authoringProgress(text, total), -1, 20));
    const IsoReport iso = isoReport(text, QDateTime(QDate(2026, 12, 6), QTime(18, 0)));
    EXPECT((iso.percent == -1 || within(iso.percent, 0, 100))
           && (iso.timeLeft.isEmpty() || (!iso.closing && iso.timeLeft.endsWith(" (approx.)"))));
    const CdReport cd = cdReport(text);
    EXPECT(cd.trackCount <= 99 && (cd.trackCount < 0 || (!cd.fixating && !cd.hasTrack)));
    for (int tracks : {-1, 1, 99})
        EXPECT(within(cdProgress(cd.track, cd.written, cd.size, tracks), -1, 99));
    // A disc passes only when the tool said it is blank.
    for (int seconds : {60, 7201, 12601}) {
        const QString dvd = dvdVerdict(text, seconds);
        EXPECT(dvd.isEmpty() ? seconds <= 12600 && text.contains("Disc status:")
                             : dvd.startsWith("The disc is not") || dvd.startsWith("Please insert"));
        EXPECT(!cdVerdict(text, seconds, "/dev/sr0").isEmpty() || text.contains("DISC_STATUS=BLANK"));
    }
    const QString line = lastErrorLine(text);
    EXPECT(!line.contains('\n') && !line.contains('\r') && line == line.trimmed()
           && (!line.isEmpty() || QString(text).remove("ERR:").trimmed().isEmpty()));
    return 0;
}
