// What the probe reads of `ffmpeg -i`: the stream fields, the duration and
// the thumbnail's second taken from it.
#include "fuzzing.h"
#include "media/fileinfothread.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = toolText(data, size);
    for (const char *tag : {"Video:", "Audio:"}) {
        for (const QString &field : FileInfoThread::streamFields(text, tag))
            EXPECT(!field.contains('\n') && field == field.trimmed());
    }
    const QString duration = FileInfoThread::durationField(text);
    EXPECT(duration.size() <= 8);
    EXPECT(FileInfoThread::thumbnailSeconds(duration) >= 1);
    return 0;
}
