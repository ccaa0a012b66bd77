// presets, info and convert: the catalogue, the probe and the runner, used as
// the window uses them.

#include "cli/cataloguesource.h"
#include "cli/cli.h"
#include "cli/progress.h"

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

// Says what became of the catalogue; false when there is none to read.
bool usable(const Invocation &call, const CatalogueSource &catalogue)
{
    if (!catalogue.note().isEmpty())
        call.complain(catalogue.note());
    if (!catalogue.isOpen())
        call.complain(catalogue.problem());
    return catalogue.isOpen();
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
        d.insert("error", noStreams(fileInfo.value(0)));
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

// One job after another: the probe runs ahead on its own thread while the
// runner converts, and each answer becomes a job in the order given.
class ConvertRun : public QObject
{
public:
    ConvertRun(const Invocation &call, const QStringList &files, const QString &args,
               const QString &ext, const QString &folder)
        : m_call(call), m_files(files), m_args(args), m_ext(ext), m_folder(folder)
    {
        m_probe.setThumbnails(false);
        connect(&m_probe, &FileInfoThread::fileInfoReady, this, &ConvertRun::probed);
        connect(&m_probe, &FileInfoThread::converterMissing, this, [this](const QString &message) {
            m_call.complain(oneLine(message));
            m_loop.exit(JobFailed);
        });
        connect(&m_runner, &ConversionThread::startConversion, this, [this](const QString &name) {
            m_label = QString("Converting %1 of %2: %3").arg(m_done + 1).arg(m_files.size()).arg(name);
            m_progress.show(m_label, 0);
        });
        connect(&m_runner, &ConversionThread::conversionProgress, this,
                [this](int seconds) { m_progress.show(m_label, percentOf(seconds, m_duration)); });
        connect(&m_runner, &ConversionThread::conversionComplete, this, &ConvertRun::completed);
        connect(&m_runner, &ConversionThread::conversionCancelled, this, &ConvertRun::stopped);
        connect(&m_stops, &QuitSignals::received, this, &ConvertRun::stop);
    }

    int exec()
    {
        // The runner keeps its log in the temporary folder, as for the window.
        QDir().mkpath(Folders::tempFolder());
        for (const QString &file : m_files)
            m_probe.enqueue(file);
        const int status = m_loop.exec();
        m_probe.shutdown();
        m_runner.wait();
        return status;
    }

private:
    struct Probed {
        QStringList fileInfo, video, audio;
    };

    void probed(const QStringList &fileInfo, const QStringList &video, const QStringList &audio)
    {
        m_waiting << Probed{fileInfo, video, audio};
        startNext();
    }

    void startNext()
    {
        if (m_busy || m_signal)
            return;
        while (!m_waiting.isEmpty()) {
            const Probed job = m_waiting.takeFirst();
            m_input = job.fileInfo.value(1) + job.fileInfo.value(0);
            if (job.video.isEmpty() && job.audio.isEmpty()) {
                fail(noStreams(job.fileInfo.value(0)));
                continue;
            }
            m_busy = true;
            m_duration = job.fileInfo.value(3);
            m_runner.startJob(m_input, buildPresetArguments(m_args, probedFrameSize(job.video)),
                              outputFileFor(job.fileInfo, m_folder), m_ext);
            return;
        }
        if (m_done == m_files.size())
            m_loop.exit(m_failed ? JobFailed : Success);
    }

    void completed(bool quitOk, const QString &output, const QString &errorMsg)
    {
        m_busy = false;
        // ffmpeg shares the terminal, so Ctrl-C may end it before the runner
        // hears of the stop: that is a stop, not a failure.
        if (!quitOk && m_signal) {
            stopped();
            return;
        }
        if (quitOk) {
            ++m_done;
            m_progress.show(m_label, 100);
            m_progress.end();
            result(output);
        } else {
            // The runner has removed what the job wrote.
            fail(errorMsg);
        }
        // A job that ended just as a stop came is whole and kept; nothing new starts.
        if (m_signal)
            m_loop.exit(stoppedStatus(m_signal));
        else
            startNext();
    }

    void fail(const QString &why)
    {
        ++m_done;
        ++m_failed;
        m_progress.end();
        m_call.complain(m_input + ": " + why);
    }

    void stop(int signal)
    {
        // Later signals find the stop under way.
        if (m_signal)
            return;
        m_signal = signal;
        m_probe.shutdown();
        if (m_busy)
            m_runner.requestStop();
        else
            m_loop.exit(stoppedStatus(signal));
    }

    // The runner has removed what the job wrote.
    void stopped()
    {
        m_busy = false;
        m_progress.end();
        m_call.complain("stopped; " + m_input + " was not converted");
        m_loop.exit(stoppedStatus(m_signal));
    }

    const Invocation &m_call;
    const QStringList m_files;
    const QString m_args, m_ext, m_folder;
    QEventLoop m_loop;
    QuitSignals m_stops;
    Progress m_progress;
    FileInfoThread m_probe;
    ConversionThread m_runner;
    QList<Probed> m_waiting;
    QString m_input, m_duration, m_label;
    int m_done = 0, m_failed = 0;
    int m_signal = 0; // the signal that stopped the run
    bool m_busy = false;
};

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
    return ConvertRun(call, files, args, preset->extension, folder).exec();
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
        {"convert", "--preset ID [--output DIR] [--args \"ARGS\"] FILE...",
         "Convert files with a preset, one job after another.",
         R"(Converts each FILE with the preset ID, one job after another, as the window
does: the preset's frame size is fitted to the input's proportions, inputs
without video get no video, and each output is named after its input with the
preset's extension. An existing file is never overwritten: the output is then
named "NAME (New).EXT", "NAME (New)(2).EXT" and so on. Outputs go beside their
inputs unless --output names a folder. --args replaces the preset's converter
arguments as the window's settings panel does: they are fitted the same way,
and the preset still gives the extension. Presets of the DVD and Audio CD
formats only convert here; nothing is burned.

Each finished output's path is printed on standard output. A job that fails is
named on standard error with ffmpeg's last line, its partial output is
removed, and the next job goes on. Progress goes to standard error. Ctrl-C
stops the running job and removes its partial output.)",
         {{"preset", "ID", "The output preset (see \"presets\"); required."},
          {"output", "DIR", "Put the outputs in this existing folder."},
          {"args", "\"ARGS\"", "Use these converter arguments instead of the preset's."}},
         "FILE", 1, -1, convert},
    };
}

} // namespace Cli
