#pragma once

#include "disc/cd/cddevice.h"

#include <memory>

struct SecureDrive;

// Reads runs of sectors through libcdio-paranoia with full checking: every
// sector is read at least twice, in overlapping reads whose alignment
// shifts, and only what agrees is handed out; jitter is corrected, failed
// reads are tried again, at most `retries` times before a sector is given
// up on. The reads go to the CdDevice, so that a double can stand in for
// the drive. One run at a time, on one thread.
class SecureReader
{
public:
    SecureReader(CdDevice &device, quint32 discSectors, int retries = 20);
    ~SecureReader();
    SecureReader(const SecureReader &) = delete;
    SecureReader &operator=(const SecureReader &) = delete;

    // Starts a run of `count` sectors from `first`, all on the disc.
    void start(quint32 first, quint32 count);
    // The next sector of the run (2352 bytes, valid until the next call);
    // null when the drive gave nothing at all.
    const char *next();

    // Of the run so far: reads the drive had to repeat or that needed
    // correcting, and sectors given up on (at least; data after one may
    // be unverified too).
    int rereads() const { return m_rereads; }
    int unrecoverable() const { return m_unrecoverable; }

private:
    friend struct SecureDrive;
    static void heard(long position, int event);
    long read(void *buffer, qint64 sector, long count);

    CdDevice &m_device;
    quint32 m_discSectors;
    int m_retries;
    std::unique_ptr<SecureDrive> m_drive;
    void *m_paranoia = nullptr;
    // The run's sectors, and the ones before it still to read past.
    qint64 m_first = 0;
    qint64 m_end = 0;
    int m_before = 0;
    qint64 m_lastSkipped = -1;
    int m_rereads = 0;
    int m_unrecoverable = 0;
};
