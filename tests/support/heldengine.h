#pragma once

#include "jobs/engine.h"

#include <QVariantList>

// An engine that does nothing by itself: it keeps every request, and the
// test answers them when it chooses (from C++ or from a page test).
class HeldEngine : public JobEngine
{
    Q_OBJECT
    Q_PROPERTY(QVariantList calls READ calls)
public:
    using JobEngine::JobEngine;

    // Every request as "probe PATH", "convert TICKET INPUT > STEM.EXT ARGS",
    // "stop TICKET", "burn KIND DRIVE FILE...", "stopBurn".
    QStringList requests;
    QHash<QString, quint64> probeIds;
    QList<quint64> tickets;

    QVariantList calls() const
    {
        QVariantList list;
        for (const QString &r : requests)
            list << r;
        return list;
    }

    void probe(quint64 id, const QString &path, bool) override
    {
        requests << "probe " + path;
        probeIds.insert(path, id);
    }
    void cancelProbes() override { requests << "cancelProbes"; }
    void convert(quint64 ticket, const Conversion &c) override
    {
        tickets << ticket;
        requests << QString("convert %1 %2 > %3.%4 %5").arg(ticket).arg(c.input, c.outStem, c.ext, c.args.join(' '));
    }
    void stop(quint64 ticket) override { requests << "stop " + QString::number(ticket); }
    void burn(const Burn &b) override
    {
        QStringList files;
        for (const DiscItem &item : b.items)
            files << item.file;
        requests << "burn " + b.discType + " " + b.drive + " " + files.join(' ');
    }
    void stopBurn() override { requests << "stopBurn"; }
    void shutdown() override {}

    // A probe's answer for `path`: a one-minute input with sound, and
    // video of `frame` ("" for none).
    Q_INVOKABLE void answer(const QString &path, const QString &duration = "00:01:00", const QString &frame = "320x240",
                            bool streams = true)
    {
        const QString name = path.mid(path.lastIndexOf('/') + 1);
        const QStringList info{name, path.left(path.lastIndexOf('/') + 1), name.left(name.lastIndexOf('.')),
                               duration, QString()};
        const QStringList video = frame.isEmpty() || !streams ? QStringList() : QStringList{"h264 (High)", "yuv420p", frame};
        const QStringList audio = streams ? QStringList{"aac (LC)", "48000 Hz"} : QStringList();
        emit probed(probeIds.value(path), info, video, audio);
    }
    // Reports of the conversion with `ticket` (the latest when 0).
    Q_INVOKABLE void start(quint64 ticket, const QString &path)
    {
        emit started(ticketOr(ticket), path.mid(path.lastIndexOf('/') + 1), path);
    }
    Q_INVOKABLE void progress(quint64 ticket, int seconds) { emit progressed(ticketOr(ticket), seconds); }
    Q_INVOKABLE void finish(quint64 ticket, bool ok, const QString &output = {}, const QString &error = {})
    {
        emit completed(ticketOr(ticket), ok, output, error);
    }
    Q_INVOKABLE void stopped(quint64 ticket) { emit cancelled(ticketOr(ticket)); }

private:
    quint64 ticketOr(quint64 ticket) const { return ticket ? ticket : tickets.value(tickets.size() - 1); }
};
