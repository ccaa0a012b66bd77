#pragma once

#include "disc/cd/cddevice.h"

#include <functional>
#include <memory>
#include <numeric>

// A disc in a drive that isn't there ("fake"): tracks end to end from sector
// 0, every sector filled with a byte of its own, switches for the faults of
// real drives, and a record of the tray lock.
struct FakeDisc {
    QList<quint32> lengths{45, 95, 60};
    QList<int> dataTracks;
    bool tocFails = false, unlockFails = false, balanced = true;
    int failingLock = 0, locks = 0, held = 0; // failingLock: 1-based request that fails
    qint64 faultSector = -1;                  // reads from here fail `failures` times
    int failures = 1;
    CdDevice::ReadResult fault = CdDevice::ReadResult::Failed;
    std::function<void(quint32 sector)> onRead; // on the reading thread

    quint32 start(int index) const { return std::accumulate(lengths.begin(), lengths.begin() + index, 0u); }
    QByteArray samples(quint32 from, quint32 count) const
    {
        QByteArray out;
        for (quint32 s = from; s < from + count; ++s)
            out += QByteArray(2352, char(s * 7 + 1));
        return out;
    }
};

class DeviceDouble : public CdDevice
{
public:
    explicit DeviceDouble(std::shared_ptr<FakeDisc> disc) : d(std::move(disc)) {}
    bool open(const QString &id) override { return m_open = id == "fake"; }
    void close() override { d->balanced = d->balanced && d->held == 0, m_open = false; }
    bool isOpen() const override { return m_open; }
    bool setRemovalPrevented(bool prevent) override
    {
        if ((prevent && ++d->locks == d->failingLock) || (!prevent && d->unlockFails))
            return false;
        d->held = qMax(0, d->held + (prevent ? 1 : -1));
        return true;
    }
    bool readToc(CdToc &toc) override
    {
        toc = {1, int(d->lengths.size()), {}};
        for (int i = 0; i <= d->lengths.size(); ++i) {
            const quint32 a = d->start(i) + 150;
            toc.entries << TocEntry{quint8(a / 4500), quint8(a / 75 % 60), quint8(a % 75), d->dataTracks.contains(i)};
        }
        return !d->tocFails;
    }
    ReadResult readAudio(quint32 sector, quint32 count, char *buffer) override
    {
        if (d->onRead)
            d->onRead(sector);
        if (sector == d->faultSector && d->failures-- > 0)
            return d->fault;
        if (sector + count > d->start(int(d->lengths.size())))
            return ReadResult::Failed;
        const QByteArray bytes = d->samples(sector, count);
        std::copy(bytes.begin(), bytes.end(), buffer);
        return ReadResult::Ok;
    }
    bool eject() override { return m_open; }
    bool load() override { return m_open; }
    bool mediaPresent(const QString &id) override { return id.isEmpty() ? m_open : id == "fake"; }

private:
    std::shared_ptr<FakeDisc> d;
    bool m_open = false;
};

inline CdDeviceFactory doubles(const std::shared_ptr<FakeDisc> &disc)
{
    return [disc] { return std::make_unique<DeviceDouble>(disc); };
}
