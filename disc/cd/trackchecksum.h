#pragma once

#include <QtGlobal>

// The checksums of one ripped track, fed its samples in order: the CRC32 of
// the audio data, and the AccurateRip v1 and v2 checksums, which leave out
// the first five sectors' worth of the disc's first track (less one sample)
// and the last five sectors' worth of its last track.
class TrackChecksum
{
public:
    // `samples`: the track's length in stereo samples (588 per sector).
    TrackChecksum(quint64 samples, bool firstTrack, bool lastTrack);

    // Whole stereo samples of 4 bytes each; a part sample is kept for the next call.
    void add(const char *data, qint64 size);

    quint32 crc32() const { return m_crc; }
    quint32 accurateRipV1() const { return m_v1; }
    quint32 accurateRipV2() const { return m_v2; }

private:
    quint32 m_crc = 0;
    quint32 m_v1 = 0;
    quint32 m_v2 = 0;
    // 1-based position of the next sample, and the range that counts.
    quint64 m_position = 1;
    quint64 m_from;
    quint64 m_to;
    unsigned char m_part[4] = {};
    int m_partSize = 0;
};
