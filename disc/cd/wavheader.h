#pragma once

#include <QByteArray>
#include <QtGlobal>

// The 44-byte RIFF header in front of a ripped track's samples. A default
// record is all zero bytes.
struct WavHeader {
    static constexpr int size = 44;

    WavHeader() = default;
    WavHeader(quint32 sampleRate, quint16 bitsPerSample, quint16 channels, quint32 dataSize);

    // The record as written to the file: every field little-endian.
    QByteArray bytes() const;

    char chunkId[4] = {};
    quint32 chunkSize = 0;
    char format[4] = {};
    char subchunk1Id[4] = {};
    quint32 subchunk1Size = 0;
    quint16 audioFormat = 0;
    quint16 numChannels = 0;
    quint32 sampleRate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
    char subchunk2Id[4] = {};
    quint32 subchunk2Size = 0;
};
