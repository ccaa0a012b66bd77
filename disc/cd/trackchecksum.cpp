#include "disc/cd/trackchecksum.h"

#include <QtEndian>

#include <zlib.h>

namespace {

constexpr quint64 skippedSamples = 5 * 588;

} // namespace

TrackChecksum::TrackChecksum(quint64 samples, bool firstTrack, bool lastTrack)
    : m_from(firstTrack ? skippedSamples : 1)
    , m_to(lastTrack ? (samples > skippedSamples ? samples - skippedSamples : 0) : samples)
{
}

void TrackChecksum::add(const char *data, qint64 size)
{
    if (size <= 0)
        return;
    m_crc = quint32(::crc32(m_crc, reinterpret_cast<const Bytef *>(data), uInt(size)));
    auto sample = [this](quint32 value) {
        if (m_position >= m_from && m_position <= m_to) {
            const quint64 product = quint64(value) * m_position;
            m_v1 += quint32(product);
            m_v2 += quint32(product) + quint32(product >> 32);
        }
        ++m_position;
    };
    while (m_partSize > 0 && size > 0) {
        m_part[m_partSize++] = uchar(*data++);
        --size;
        if (m_partSize == 4) {
            sample(qFromLittleEndian<quint32>(m_part));
            m_partSize = 0;
        }
    }
    const qint64 whole = size / 4;
    for (qint64 i = 0; i < whole; ++i)
        sample(qFromLittleEndian<quint32>(data + 4 * i));
    for (qint64 i = whole * 4; i < size; ++i)
        m_part[m_partSize++] = uchar(data[i]);
}
