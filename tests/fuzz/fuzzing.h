#pragma once

#include "platform/tools.h"

#include <cstdint>
#include <cstdlib>

// The input as the program reads a tool's text.
inline QString toolText(const uint8_t *data, size_t size)
{
    return Tools::toolText(QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));
}

// What must hold of a parser's answer; a failure is a finding.
#define EXPECT(condition) ((condition) ? void() : std::abort())

inline bool within(qint64 value, qint64 low, qint64 high)
{
    return value >= low && value <= high;
}
