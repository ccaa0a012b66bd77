// The product site's version file, as the update check reads it.
#include "app/updatecheck.h"
#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), int(size));
    for (const char *running : {"0.1", "1.2.3"}) {
        const UpdateCheck::Answer answer = UpdateCheck::evaluate(body, running);
        EXPECT(answer.newer == !answer.message.isEmpty());
    }
    return 0;
}
