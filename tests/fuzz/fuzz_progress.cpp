// The runner's progress records, read in chunks as the converter's text
// arrives; chunk lengths vary with the input so records get cut anywhere.
#include "fuzzing.h"
#include "media/conversionthread.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = toolText(data, size);
    QString pending;
    quint32 cut = quint32(size);
    for (int at = 0; at < text.size();) {
        cut = cut * 1103515245u + 12345u;
        const int length = 1 + int(cut >> 16) % 97;
        const int seconds = ConversionThread::takeProgress(pending, text.mid(at, length));
        EXPECT(seconds >= -1 && seconds <= 99 * 3600 + 59 * 60 + 59);
        EXPECT(!pending.contains('\r') && !pending.contains('\n'));
        at += length;
    }
    return 0;
}
