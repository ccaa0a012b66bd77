#pragma once

#include "platform/tools.h"

#include <cstdint>
#include <cstdlib>

// Shared by the fuzz targets: the input as the program reads a tool's text,
// and a check whose failure is a finding.
inline QString toolText(const uint8_t *data, size_t size)
{
    return Tools::toolText(QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));
}

inline void expect(bool holds)
{
    if (!holds)
        std::abort();
}
