#include "disc/cd/wavheader.h"

#include <QtEndian>

#include <cstring>

WavHeader::WavHeader(quint32 rate, quint16 bits, quint16 channels, quint32 dataSize)
    : chunkSize(dataSize + 36)
    , subchunk1Size(16)
    , audioFormat(1)
    , numChannels(channels)
    , sampleRate(rate)
    , byteRate(channels * bits * rate / 8)
    , blockAlign(quint16(channels * bits / 8))
    , bitsPerSample(bits)
    , subchunk2Size(dataSize)
{
    std::memcpy(chunkId, "RIFF", 4);
    std::memcpy(format, "WAVE", 4);
    std::memcpy(subchunk1Id, "fmt ", 4);
    std::memcpy(subchunk2Id, "data", 4);
}

QByteArray WavHeader::bytes() const
{
    QByteArray out(size, '\0');
    char *p = out.data();
    auto text = [&p](const char (&four)[4]) { std::memcpy(p, four, 4); p += 4; };
    auto u32 = [&p](quint32 v) { qToLittleEndian(v, p); p += 4; };
    auto u16 = [&p](quint16 v) { qToLittleEndian(v, p); p += 2; };
    text(chunkId);
    u32(chunkSize);
    text(format);
    text(subchunk1Id);
    u32(subchunk1Size);
    u16(audioFormat);
    u16(numChannels);
    u32(sampleRate);
    u32(byteRate);
    u16(blockAlign);
    u16(bitsPerSample);
    text(subchunk2Id);
    u32(subchunk2Size);
    return out;
}
