#pragma once

#include "disc/burn/discplan.h"

#include <QObject>
#include <QString>
#include <QStringList>

// What the run controller asks of the tools: probes, conversions (or plain
// copies into a burn's staging folder), and the burn. Requests carry the
// job's id and every answer names it; answers arrive on the controller's
// thread. The tool engine is the real one; tests may put another in its place.
class JobEngine : public QObject
{
    Q_OBJECT
public:
    struct Conversion {
        QString input;
        // The fitted preset arguments; empty for a plain copy.
        QStringList args;
        // The output path without extension; the first free name is taken.
        QString outStem;
        QString ext;
        // Seconds of media, for a copy's progress.
        int seconds = 0;
    };
    struct Burn {
        QString discType; // "dvd" or "cd"
        QString drive;    // a drive's node, or an image file
        QString folder;   // the staging folder
        // The staged files, in the order they go on the disc, with each
        // job's length and CD-TEXT.
        QList<DiscItem> items;
        QString standard; // "PAL" or "NTSC" for a DVD
        DiscOptions options;
    };

    using QObject::QObject;

    // Conversions are named by a ticket of the caller's; probes by the job's id.
    // Probes an input; `thumbnail` asks for a picture as well.
    virtual void probe(quint64 id, const QString &path, bool thumbnail) = 0;
    // Forgets the probes not yet answered.
    virtual void cancelProbes() = 0;
    virtual void convert(quint64 id, const Conversion &conversion) = 0;
    // Stops a conversion; it ends with `cancelled` (or `completed`, when it
    // had just finished).
    virtual void stop(quint64 id) = 0;
    virtual void burn(const Burn &burn) = 0;
    // Stops a burn going: its tool is stopped and a half image removed;
    // nothing more is reported of it.
    virtual void stopBurn() = 0;
    // Ends everything going, for a program that is ending: nothing more is
    // reported, and no tool outlives the call.
    virtual void shutdown() = 0;

signals:
    void probed(quint64 id, QStringList fileInfo, QStringList fileVideoInfo, QStringList fileAudioInfo);
    // The converter could not be found for a probe: the user is told once.
    void converterMissing(QString message);
    void started(quint64 id, QString outFileName, QString outputPath);
    // The input's duration as the conversion found it, for jobs not probed.
    void durationFound(quint64 id, QString duration);
    void progressed(quint64 id, int seconds);
    void completed(quint64 id, bool quitOk, QString finalOutput, QString errorMsg);
    void cancelled(quint64 id);
    void burnProgress(int progress);
    void burnTextStatus(QString status);
    void burnEstTime(QString time);
    void burnCompleted(bool ok, QString device, QString reason);
};
