// presets, info and convert: the catalogue, the probe and the runner, used as
// the window uses them.

#include "cli/cataloguesource.h"
#include "cli/cli.h"
#include "cli/progress.h"
#include "cli/runfollower.h"

#include "jobs/runcontroller.h"
#include "jobs/toolengine.h"

#include "media/commandline.h"
#include "media/conversionthread.h"
#include "media/fileinfothread.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/quitsignals.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>

namespace Cli {

namespace {

QJsonValue idValue(const QString &id)
{
    bool numeric = false;
    const int n = id.toInt(&numeric);
    return numeric ? QJsonValue(n) : QJsonValue(id);
}

int presets(const Invocation &call)
{
    CatalogueSource catalogue;
    if (!usable(call, catalogue))
        return JobFailed;
    QList<Choice> choices = catalogue.choices();
    if (call.has("format")) {
        const QString id = call.value("format");
        choices.removeIf([&id](const Choice &c) { return c.id != id; });
        if (choices.isEmpty())
            return call.refuse("unknown device or format id " + id);
    }

    if (call.json()) {
        QJsonArray devices, formats;
        for (const Choice &choice : choices) {
            QJsonArray presets;
            for (const Preset &p : choice.presets) {
                presets.append(QJsonObject{{"id", idValue(p.id)}, {"name", p.caption},
                                           {"extension", p.extension}, {"arguments", p.arguments}});
            }
            (choice.device ? devices : formats)
                .append(QJsonObject{{"id", idValue(choice.id)}, {"name", choice.caption},
                                    {"presets", presets}});
        }
        resultJson(QJsonObject{{"devices", devices}, {"formats", formats}});
        return Success;
    }

    int idWidth = 0, nameWidth = 0, extWidth = 0;
    for (const Choice &choice : choices) {
        for (const Preset &p : choice.presets) {
            idWidth = std::max(idWidth, int(p.id.size()));
            nameWidth = std::max(nameWidth, int(p.caption.size()));
            extWidth = std::max(extWidth, int(p.extension.size()));
        }
    }
    for (int i = 0; i < choices.size(); ++i) {
        const Choice &choice = choices.at(i);
        result((i ? "\n" : "") + QString(choice.device ? "Device " : "Format ") + choice.id + ": "
               + choice.caption);
        for (const Preset &p : choice.presets) {
            result("  " + p.id.leftJustified(idWidth + 2) + p.caption.leftJustified(nameWidth + 2)
                   + p.extension.leftJustified(extWidth + 2) + p.arguments);
        }
    }
    return Success;
}

QJsonObject describe(const QStringList &fileInfo, const QStringList &video, const QStringList &audio)
{
    QJsonObject d{{"path", fileInfo.value(1) + fileInfo.value(0)},
                  {"name", fileInfo.value(0)},
                  {"folder", fileInfo.value(1)},
                  {"baseName", fileInfo.value(2)},
                  {"duration", fileInfo.value(3)},
                  {"videoCodec", video.value(0)},
                  {"frameSize", probedFrameSize(video)},
                  {"audioCodec", audio.value(0)},
                  {"video", QJsonArray::fromStringList(video)},
                  {"audio", QJsonArray::fromStringList(audio)}};
    if (video.isEmpty() && audio.isEmpty())
        d.insert("error", noStreamsText(fileInfo.value(0)));
    return d;
}

void printDescription(const QJsonObject &d)
{
    auto field = [&d](const char *label, const char *key) {
        const QString value = d.value(key).toString();
        result(QString("  %1 %2").arg(label, -11).arg(value.isEmpty() ? "none" : value));
    };
    result(d.value("path").toString());
    field("Name:", "name");
    field("Folder:", "folder");
    field("Base name:", "baseName");
    field("Duration:", "duration");
    field("Video:", "videoCodec");
    field("Frame size:", "frameSize");
    field("Audio:", "audioCodec");
}

int info(const Invocation &call)
{
    int status;
    const QStringList files = readableFiles(call, &status);
    if (status != Success)
        return status;

    QuitSignals stops;
    FileInfoThread probe;
    probe.setThumbnails(false);
    QEventLoop loop;
    QJsonArray documents;
    int failed = 0;
    QObject::connect(&probe, &FileInfoThread::fileInfoReady, &loop,
                     [&](const QStringList &fileInfo, const QStringList &video, const QStringList &audio) {
                         const QJsonObject d = describe(fileInfo, video, audio);
                         documents.append(d);
                         if (d.contains("error")) {
                             ++failed;
                             call.complain(d.value("path").toString() + ": " + d.value("error").toString());
                         } else if (!call.json()) {
                             if (documents.size() > 1 + failed)
                                 result(QString());
                             printDescription(d);
                         }
                         if (documents.size() == files.size())
                             loop.exit(failed ? JobFailed : Success);
                     });
    QObject::connect(&probe, &FileInfoThread::converterMissing, &loop, [&](const QString &message) {
        call.complain(oneLine(message));
        loop.exit(-1);
    });
    QObject::connect(&stops, &QuitSignals::received, &loop,
                     [&](int signal) { loop.exit(stoppedStatus(signal)); });
    for (const QString &file : files)
        probe.enqueue(file);
    status = loop.exec();
    probe.shutdown();
    if (status == -1)
        return JobFailed;
    if (call.json() && documents.size() == files.size())
        resultJson(documents);
    return status;
}

// The places a run of the command line uses, as the window's.
OutputPlan::Places places()
{
    return {Folders::musicFolder(), Folders::videoFolder(), Folders::tempFolder()};
}

int convert(const Invocation &call)
{
    if (!call.has("preset"))
        return call.refuse("missing --preset ID; see \"mediaforgestudio-cli presets\"");
    QString folder;
    if (call.has("output")) {
        if (!FileNames::isFolder(call.value("output")))
            return call.refuse(call.value("output") + ": no such folder");
        folder = Folders::nativeAbsolute(call.value("output"));
    }
    if (call.has("args") && call.value("args").trimmed().isEmpty())
        return call.refuse("--args needs converter arguments");
    int jobs = 0;
    if (call.has("jobs") && call.value("jobs") != "auto") {
        bool number = false;
        jobs = call.value("jobs").toInt(&number);
        if (!number || jobs < 1)
            return call.refuse("--jobs takes a number from 1 up, or auto");
    }

    CatalogueSource catalogue;
    if (!usable(call, catalogue))
        return JobFailed;
    const QList<Choice> choices = catalogue.choices();
    const Preset *preset = findPreset(choices, call.value("preset"));
    if (!preset) {
        return call.refuse("unknown preset id " + call.value("preset")
                           + "; see \"mediaforgestudio-cli presets\"");
    }
    const QString args = call.has("args") ? call.value("args") : preset->arguments;
    if (args.isEmpty())
        return call.refuse("preset " + preset->id + " has no converter arguments; give --args");

    int status;
    const QStringList files = readableFiles(call, &status);
    if (status != Success)
        return status;

    // The runner keeps its log in the temporary folder, as for the window.
    QDir().mkpath(Folders::tempFolder());
    ToolEngine engine;
    RunController run(&engine, places());
    // A sound-only output needs no probe: the conversion names the duration.
    run.setProbing(RunController::Probing::NotForSoundOnly);
    run.setSimultaneous(jobs);
    run.setChoice({{"ffmpegArgs", args}, {"outExt", preset->extension}, {"outPath", folder},
                   {"outputSameFolder", folder.isEmpty()}});
    RunFollower follower(call, run);
    int failed = 0;
    QObject::connect(&run, &RunController::noStreamsFound, &follower, [&failed] { ++failed; });
    QObject::connect(&run, &RunController::runFinished, &follower, [&](int, int jobsFailed) {
        follower.end(jobsFailed + failed ? JobFailed : Success);
    });
    run.addFiles(files);
    run.start();
    return follower.exec();
}

} // namespace

QList<Command> mediaCommands()
{
    const Option json{"json", {}, "Print one JSON document."};
    return {
        {"presets", "[--format ID] [--json]",
         "List devices, formats and their presets with ids, names and arguments.",
         R"(Lists the devices, then the file formats, each with its output presets, in
the window's order (most used first). Each preset line gives the preset's id
(for "convert --preset"), its name, the output file's extension and the
converter arguments. With --json, one object: "devices" and "formats", each a
list of {"id", "name", "presets"}, each preset {"id", "name", "extension",
"arguments"}.)",
         {{"format", "ID", "Only the device or format with this id."}, json},
         {}, 0, 0, presets},
        {"info", "[--json] FILE...",
         "Show what the probe finds in media files.",
         R"(Probes each FILE with ffmpeg as the window does when a file is added: its name,
folder and base name, duration, the first video stream's codec and frame size
and the first audio stream's codec. With --json, one array with an object per
FILE: "path", "name", "folder", "baseName", "duration", "videoCodec",
"frameSize", "audioCodec", and "video" and "audio", the streams' comma-separated
fields ([] when there is no such stream). A file in which ffmpeg finds no
stream is named on standard error (and gets an "error" in JSON); the exit
status is then 1.)",
         {json},
         "FILE", 1, -1, info},
        {"convert", "--preset ID [--output DIR] [--args \"ARGS\"] [--jobs N|auto] FILE...",
         "Convert files with a preset, several at once.",
         R"(Converts each FILE with the preset ID, as the window does, in the order given
and as many at once as --jobs says: the preset's frame size is fitted to the input's proportions, inputs
without video get no video, and each output is named after its input with the
preset's extension. An existing file is never overwritten: the output is then
named "NAME (New).EXT", "NAME (New)(2).EXT" and so on. Outputs go beside their
inputs unless --output names a folder. --args replaces the preset's converter
arguments as the window's settings panel does: they are fitted the same way,
and the preset still gives the extension. Presets of the DVD and Audio CD
formats only convert here; nothing is burned.

Each finished output's path is printed on standard output as it finishes. A
job that fails is named on standard error with ffmpeg's last line, its partial
output is removed, and the other jobs go on. Progress goes to standard error:
each converting job with its time left, and with several at once the whole
run's. Ctrl-C stops the converting jobs and removes their partial outputs.)",
         {{"preset", "ID", "The output preset (see \"presets\"); required."},
          {"output", "DIR", "Put the outputs in this existing folder."},
          {"args", "\"ARGS\"", "Use these converter arguments instead of the preset's."},
          {"jobs", "N|auto", "Convert N files at once; auto (the default) suits the output and the machine."}},
         "FILE", 1, -1, convert},
    };
}

} // namespace Cli
