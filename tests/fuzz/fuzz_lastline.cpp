// The converter's last error line, shown to the user on a failed job.
#include "fuzzing.h"
#include "media/conversionthread.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = ConversionThread::lastLine(toolText(data, size));
    EXPECT(!line.contains('\n') && !line.contains('\r') && line == line.trimmed());
    return 0;
}
