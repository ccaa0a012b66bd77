// drives, cd-tracks, rip-cd, dvd-titles and rip-dvd: the drive list, the CD
// reader, the DVD tool and the two rip threads, used as the rip dialogs use them.

#include "cli/cli.h"
#include "cli/cataloguesource.h"
#include "cli/progress.h"
#include "cli/runfollower.h"

#include "disc/cd/audiocd.h"
#include "disc/cd/cdripthread.h"
#include "disc/cd/discinfo.h"
#include "disc/cd/discname.h"
#include "disc/cd/riplog.h"
#include "disc/cd/ripsettings.h"
#include "disc/drives.h"
#include "disc/dvd/dvdlisting.h"
#include "disc/dvd/dvdripthread.h"
#include "disc/dvd/dvdvolume.h"
#include "disc/dvd/rippertext.h"
#include "disc/ripfolder.h"
#include "jobs/runcontroller.h"
#include "jobs/toolengine.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/quitsignals.h"
#include "platform/tools.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cdio/logging.h>

namespace Cli {

namespace {

// "1,3-5" as the numbers it names, in order and once each; false when the
// text is no such list.
bool parseNumbers(const QString &text, QList<int> *numbers)
{
    static const QRegularExpression item("^(\\d{1,4})(?:-(\\d{1,4}))?$");
    for (const QString &part : text.split(',')) {
        const QRegularExpressionMatch m = item.match(part.trimmed());
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        if (!m.hasMatch() || from < 1 || to < from)
            return false;
        for (int n = from; n <= to; ++n)
            *numbers << n;
    }
    std::sort(numbers->begin(), numbers->end());
    numbers->erase(std::unique(numbers->begin(), numbers->end()), numbers->end());
    return true;
}

// The numbers the option names, each checked by `problem` ("" when fine);
// BadUsage after a refusal.
int chosenNumbers(const Invocation &call, const QString &option, QList<int> *numbers,
                  const std::function<QString(int)> &problem)
{
    if (!parseNumbers(call.value(option), numbers)) {
        return call.refuse("bad --" + option + " list \"" + call.value(option)
                           + "\"; give numbers and ranges such as 1,3-5");
    }
    for (int n : std::as_const(*numbers)) {
        const QString why = problem(n);
        if (!why.isEmpty())
            return call.refuse(why);
    }
    return Success;
}

// The folder rips go to: --output, else the current folder; "" after a refusal.
QString ripFolder(const Invocation &call)
{
    const QString folder = call.has("output") ? call.value("output") : QDir::currentPath();
    if (!FileNames::isFolder(folder)) {
        call.refuse(folder + ": no such folder");
        return {};
    }
    return Folders::nativeAbsolute(folder);
}

// Rips never write over a file: the first one in the way (a link that
// leads nowhere included) is named and nothing is ripped.
int refuseTaken(const Invocation &call, const QStringList &paths)
{
    for (const QString &path : paths) {
        if (FileNames::taken(path)) {
            return call.refuse(path + " already exists; nothing was ripped "
                                      "(move it away or choose another --output)");
        }
    }
    return Success;
}

bool isDeviceNode(const QString &source)
{
    return FileNames::exists(source) && !FileNames::isFile(source) && !FileNames::isFolder(source);
}

// A source that isn't there: refused as bad usage, naming what was looked for.
int refuseMissing(const Invocation &call, const QString &source, const QString &imageKind)
{
    if (source.startsWith("/dev/"))
        return call.refuse("there is no drive " + source);
    return call.refuse("The " + imageKind + " " + Folders::nativeAbsolute(source) + " cannot be found.");
}

// Drives: what the drive lists of the rip dialogs show, and what is in them.

int drives(const Invocation &call)
{
    QJsonArray list;
    for (const QString &node : Drives::opticalDrives()) {
        const QString problem = Drives::accessProblem(node);
        int audioTracks = 0;
        QString label;
        if (problem.isEmpty()) {
            CAudioCD cd;
            if (cd.openDrive(node)) {
                for (int k = 0; k < cd.trackCount(); ++k)
                    audioTracks += cd.isAudioTrack(uint(k)) ? 1 : 0;
            }
            if (audioTracks == 0)
                label = dvdVolumeLabel(node);
        }
        const QJsonObject drive{{"device", node}, {"identification", Drives::identification(node).trimmed()},
                                {"audioTracks", audioTracks}, {"label", label}, {"problem", problem}};
        list.append(drive);
        if (call.json())
            continue;
        QString what = problem;
        if (what.isEmpty()) {
            what = audioTracks > 0 ? QString("audio CD, %1 tracks").arg(audioTracks)
                   : label.isEmpty() ? QString("no audio CD or labelled disc")
                                     : "disc " + label;
        }
        result(node + " [" + drive["identification"].toString() + "]: " + what);
    }
    if (call.json())
        resultJson(list);
    return Success;
}

// Audio CDs

// Opens a drive or image as the CD dialog does; says why not, in the
// dialog's sentences, and answers the status to end with.
int openCd(const Invocation &call, const QString &operand, CAudioCD &cd, QString *source)
{
    // libcdio's remarks on an image's layout are no message for the user.
    cdio_loglevel_default = CDIO_LOG_ERROR;
    if (!FileNames::exists(operand))
        return refuseMissing(call, operand, "disc image");
    if (FileNames::isFolder(operand))
        return call.refuse(operand + " is a folder, not a disc image or drive");
    const bool image = FileNames::isFile(operand);
    *source = image ? Folders::nativeAbsolute(operand) : operand;
    const bool opened = cd.openDrive(*source);
    if (image) {
        const QString problem = cd.imageProblem(*source);
        if (problem.isEmpty())
            return Success;
        call.complain(problem);
        return JobFailed;
    }
    if (!opened) {
        QString text = Drives::accessProblem(*source);
        if (text.isEmpty())
            text = "Cannot open CD drive " + *source;
        call.complain(text);
        return JobFailed;
    }
    for (int k = 0; k < cd.trackCount(); ++k) {
        if (cd.isAudioTrack(uint(k)))
            return Success;
    }
    call.complain("The disc in " + *source + " holds no audio tracks.");
    return JobFailed;
}

QString minutesText(int seconds)
{
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

int cdTracks(const Invocation &call)
{
    QString source;
    QJsonArray tracks;
    QJsonObject disc;
    {
        CAudioCD cd;
        const int status = openCd(call, call.operands.first(), cd, &source);
        if (status != Success)
            return status;
        const CdText &text = cd.cdText();
        for (int k = 0; k < cd.trackCount(); ++k) {
            const int seconds = cd.trackSeconds(uint(k));
            tracks.append(QJsonObject{{"number", k + 1}, {"length", minutesText(seconds)},
                                      {"seconds", seconds}, {"audio", cd.isAudioTrack(uint(k))},
                                      {"title", text.trackTitle(k)}, {"performer", text.trackPerformer(k)}});
        }
        disc = QJsonObject{{"title", text.title}, {"performer", text.performer},
                           {"musicbrainz_discid", musicBrainzDiscId(cd.toc())}, {"freedb_id", freedbDiscId(cd.toc())}};
    }
    const QString name = readDiscName(source);
    if (call.json()) {
        disc.insert("source", source);
        disc.insert("name", name);
        disc.insert("tracks", tracks);
        resultJson(disc);
        return Success;
    }
    result(driveEntryText(source, name));
    for (const QJsonValue &t : std::as_const(tracks)) {
        const QString title = t["title"].toString();
        result(QString("  Track %1 %2 %3 s  %4%5")
                   .arg(t["number"].toInt(), -2)
                   .arg(t["length"].toString(), 6)
                   .arg(t["seconds"].toInt(), 5)
                   .arg(t["audio"].toBool() ? "audio" : "data")
                   .arg(title.isEmpty() ? QString() : "  " + title));
    }
    result("  MusicBrainz disc id " + disc["musicbrainz_discid"].toString() + ", freedb id "
           + disc["freedb_id"].toString());
    return Success;
}

// The part of a track or title on disk while it is ripped, removed when
// the rip of it fails or is stopped, and only while it is this run's own.
void removePartial(QString *path)
{
    if (!path->isEmpty())
        OwnFiles::remove(*path);
    path->clear();
}

// Follows a rip thread to its end: progress, finished files, errors; a
// signal cancels the rip as the dialog's Cancel does.
class RipRun : public QObject
{
public:
    // `cancel` is the thread's own stop, as the dialog's Cancel uses it.
    RipRun(const Invocation &call, QThread &thread, const QStringList &paths, const QString &noun,
           const std::function<void()> &cancel)
        : m_call(call), m_thread(thread), m_paths(paths), m_noun(noun)
    {
        connect(&m_thread, &QThread::finished, this, &RipRun::ended);
        connect(&m_stops, &QuitSignals::received, this, [this, cancel](int signal) {
            if (!m_signal) {
                m_signal = signal;
                cancel();
            }
        });
    }

    int exec()
    {
        // The DVD rip logs into the temporary folder, as for the window.
        QDir().mkpath(Folders::tempFolder());
        m_thread.start();
        return m_loop.exec();
    }

    void started(int i)
    {
        m_current = m_paths.value(i - 1);
        m_label = QString("Ripping %1 %2 of %3: %4")
                      .arg(m_noun)
                      .arg(i)
                      .arg(m_paths.size())
                      .arg(QFileInfo(m_current).fileName());
        m_index = i - 1;
        m_progress.show(m_label, overallRipProgress(m_index, int(m_paths.size()), 0));
    }
    void progress(int overall) { m_progress.show(m_label, overall); }
    // The DVD rip removes its own cut-off title, and only while the name
    // still holds the file its tool made; whatever holds it later is not ours.
    void leavePartialsToThread() { m_removesPartials = false; }
    // Each finished file's path goes to standard output.
    bool printPaths = true;
    void trackProgress(int percent)
    {
        m_progress.show(m_label, overallRipProgress(m_index, int(m_paths.size()), percent));
    }
    void finished(const QString &path)
    {
        m_current.clear();
        if (m_index + 1 == m_paths.size())
            m_progress.show(m_label, 100);
        m_progress.end();
        if (printPaths)
            result(path);
    }
    void failed(const QString &message)
    {
        // The thread's word on the cancel is this run's own.
        if (m_signal)
            return;
        ++m_failed;
        m_progress.end();
        m_call.complain(message);
        if (m_removesPartials)
            removePartial(&m_current);
        m_current.clear();
    }

private:
    void ended()
    {
        m_progress.end();
        if (m_signal) {
            const QString name = QFileInfo(m_current).fileName();
            if (m_removesPartials)
                removePartial(&m_current);
            m_call.complain(name.isEmpty() ? QString("stopped") : "stopped; " + name + " was not ripped");
            m_loop.exit(stoppedStatus(m_signal));
        } else {
            m_loop.exit(m_failed ? JobFailed : Success);
        }
    }

    const Invocation &m_call;
    QThread &m_thread;
    const QStringList m_paths;
    const QString m_noun;
    QEventLoop m_loop;
    QuitSignals m_stops;
    Progress m_progress;
    QString m_current, m_label;
    int m_index = 0, m_failed = 0, m_signal = 0;
    bool m_removesPartials = true;
};

// How rip-cd reads: --mode (secure for a drive, fast for an image unless
// told), --offset (the saved one unless told), --test-and-copy.
int ripOptions(const Invocation &call, bool image, RipOptions *options)
{
    const QString mode = call.has("mode") ? call.value("mode") : image ? "fast" : "secure";
    if (mode != "fast" && mode != "secure")
        return call.refuse("--mode takes fast or secure, not \"" + mode + "\"");
    options->mode = mode == "secure" ? RipOptions::Mode::Secure : RipOptions::Mode::Fast;
    options->offset = RipSettings::readOffset();
    if (call.has("offset")) {
        bool number = false;
        options->offset = call.value("offset").toInt(&number);
        if (!number || std::abs(options->offset) > RipSettings::offsetLimit)
            return call.refuse(QString("--offset takes samples from -%1 to %1").arg(RipSettings::offsetLimit));
    }
    options->testAndCopy = call.has("test-and-copy");
    return Success;
}

// What a rip found of a track, for --json.
QJsonObject ripJson(const TrackRip &rip)
{
    auto hex = [](quint32 value) { return QString("%1").arg(value, 8, 16, QChar('0')); };
    return {{"number", rip.number}, {"file", rip.file}, {"crc32", hex(rip.crc32)},
            {"accuraterip_v1", hex(rip.accurateRipV1)}, {"accuraterip_v2", hex(rip.accurateRipV2)},
            {"rereads", rip.rereads}, {"unrecoverable", rip.unrecoverable}};
}

// The preset rip-cd --preset converts with, checked before the disc is read.
int ripPreset(const Invocation &call, Preset *preset)
{
    CatalogueSource catalogue;
    if (!usable(call, catalogue))
        return JobFailed;
    const QList<Choice> choices = catalogue.choices();
    const Preset *found = findPreset(choices, call.value("preset"));
    if (!found)
        return call.refuse("unknown preset id " + call.value("preset") + "; see \"mediaforgestudio-cli presets\"");
    if (found->arguments.isEmpty())
        return call.refuse("preset " + found->id + " has no converter arguments");
    *preset = *found;
    return Success;
}

// Converts ripped tracks on the job queue as the window does: tagged, into
// the album's folder under `output`.
int convertRipped(const Invocation &call, const QStringList &files, const Preset &preset, const QString &output)
{
    ToolEngine engine;
    RunController run(&engine, {output + Folders::separator(), Folders::videoFolder(), Folders::tempFolder()});
    run.setProbing(RunController::Probing::NotForSoundOnly);
    run.setChoice({{"ffmpegArgs", preset.arguments}, {"outExt", preset.extension}, {"outputSameFolder", true}});
    RunFollower follower(call, run);
    QObject::connect(&run, &RunController::runFinished, &follower,
                     [&](int, int failed) { follower.end(failed ? JobFailed : Success); });
    run.addFiles(files, "cd");
    run.start();
    return follower.exec();
}

int ripCd(const Invocation &call)
{
    const bool converting = call.has("preset");
    if (call.has("keep-wav") && !converting)
        return call.refuse("--keep-wav goes with --preset");
    Preset preset;
    if (converting) {
        const int status = ripPreset(call, &preset);
        if (status != Success)
            return status;
    }
    QString source;
    QList<int> tracks;
    CdText text;
    RipOptions options;
    {
        CAudioCD cd;
        int status = openCd(call, call.operands.first(), cd, &source);
        if (status != Success)
            return status;
        status = ripOptions(call, FileNames::isFile(source), &options);
        if (status != Success)
            return status;
        text = cd.cdText();
        const int count = cd.trackCount();
        if (call.has("tracks")) {
            const int chosen = chosenNumbers(call, "tracks", &tracks, [&cd, count](int n) {
                if (n > count)
                    return QString("there is no track %1 (the disc has %2)").arg(n).arg(count);
                return cd.isAudioTrack(uint(n - 1)) ? QString() : QString("track %1 holds data, not audio").arg(n);
            });
            if (chosen != Success)
                return chosen;
        } else {
            // The dialog ticks every audio track.
            for (int k = 0; k < count; ++k) {
                if (cd.isAudioTrack(uint(k)))
                    tracks << k + 1;
            }
        }
    }
    const QString output = ripFolder(call);
    if (output.isEmpty())
        return BadUsage;
    // Converted without --keep-wav, the WAVs are ripped where they go again.
    const bool keep = !converting || call.has("keep-wav");
    QString folder = output;
    if (!keep) {
        folder = makeRipFolder(Folders::tempFolder());
        if (folder.isEmpty() || !OwnFiles::adopt(folder)) {
            call.complain("Cannot create a folder for the tracks in " + Folders::tempFolder());
            return JobFailed;
        }
    }
    QStringList numbers, paths;
    for (int n : std::as_const(tracks)) {
        numbers << QString::number(n);
        paths << CDRipThread::trackFile(folder, uint(n), text.trackTitle(n - 1));
    }
    if (keep && refuseTaken(call, paths + QStringList{folder + Folders::separator() + ripLogName}) != Success)
        return BadUsage;

    QStringList ripped;
    int status;
    {
        CDRipThread thread;
        thread.setDestination(folder);
        thread.setOptions(options);
        thread.setTracks(source, numbers);
        RipRun run(call, thread, paths, "track", [&thread] { thread.cancel(); });
        run.printPaths = keep && !call.json();
        int marked = 0;
        QObject::connect(&thread, &CDRipThread::startedFile, &run, &RipRun::started);
        QObject::connect(&thread, &CDRipThread::progress, &run, &RipRun::trackProgress);
        QObject::connect(&thread, &CDRipThread::trackRipped, &run, [&](const TrackRip &rip) {
            if (call.json())
                result(QJsonDocument(ripJson(rip)).toJson(QJsonDocument::Compact));
            if (rip.clean())
                return;
            ++marked;
            call.complain(QString("track %1 was not read cleanly: ").arg(rip.number)
                          + (rip.unrecoverable > 0 ? QString("%1 unrecoverable sectors").arg(rip.unrecoverable)
                                                   : QString("the two reads differ")));
        });
        QObject::connect(&thread, &CDRipThread::finishedFile, &run, [&](const QString &path) {
            ripped << path;
            run.finished(path);
        });
        QObject::connect(&thread, &CDRipThread::error, &run, &RipRun::failed);
        status = run.exec();
        if (status == Success && marked)
            status = JobFailed;
    }
    if (converting && !ripped.isEmpty() && status <= JobFailed)
        status = std::max(status, convertRipped(call, ripped, preset, output));
    if (!keep)
        OwnFiles::remove(folder);
    return status;
}

// DVDs

struct DvdSource {
    QString path;  // what ripper reads
    QString label; // the name part of the files
    DvdTitles titles;
};

// Lists a DVD as the DVD dialog does; says why no titles were found.
int readDvd(const Invocation &call, const QString &operand, DvdSource *dvd)
{
    if (!FileNames::exists(operand))
        return refuseMissing(call, operand, "DVD folder or image");
    const bool node = isDeviceNode(operand);
    dvd->path = node ? operand : Folders::nativeAbsolute(operand);
    const DvdListing listing = listDvd(dvd->path);
    if (!listing.problem.isEmpty()) {
        call.complain(listing.problem + (listing.detail.isEmpty() ? QString() : " " + listing.detail));
        return JobFailed;
    }
    dvd->titles = listing.titles;
    // A drive's files are named by the disc's label, a chosen folder's or
    // image's by its name when it has no label.
    dvd->label = node ? dvdVolumeLabel(dvd->path) : dvdSourceName(dvd->path);
    return Success;
}

int dvdTitles(const Invocation &call)
{
    DvdSource dvd;
    const int status = readDvd(call, call.operands.first(), &dvd);
    if (status != Success)
        return status;
    QJsonArray titles;
    for (int t = 0; t < dvd.titles.lengths.size(); ++t) {
        titles.append(QJsonObject{{"number", t + 1},
                                  {"length", dvdLengthText(dvd.titles.lengths.at(t))},
                                  {"milliseconds", dvd.titles.lengths.at(t)},
                                  {"longest", t == dvd.titles.longest}});
    }
    if (call.json()) {
        resultJson(QJsonObject{{"source", dvd.path}, {"label", dvd.label}, {"titles", titles}});
        return Success;
    }
    result(driveEntryText(dvd.path, dvd.label));
    for (const QJsonValue &t : std::as_const(titles)) {
        result(QString("  Title %1  %2%3")
                   .arg(t["number"].toInt(), -3)
                   .arg(t["length"].toString())
                   .arg(t["longest"].toBool() ? "  longest" : ""));
    }
    return Success;
}

int ripDvd(const Invocation &call)
{
    DvdSource dvd;
    const int status = readDvd(call, call.operands.first(), &dvd);
    if (status != Success)
        return status;
    const int count = int(dvd.titles.lengths.size());
    QList<int> titles;
    if (call.has("titles")) {
        const int chosen = chosenNumbers(call, "titles", &titles, [count](int n) {
            return n > count ? QString("there is no title %1 (the DVD has %2)").arg(n).arg(count) : QString();
        });
        if (chosen != Success)
            return chosen;
    } else {
        // The dialog ticks the longest title.
        titles << dvd.titles.longest + 1;
    }
    const QString folder = ripFolder(call);
    if (folder.isEmpty())
        return BadUsage;
    QStringList numbers, lengths, paths;
    for (int t : std::as_const(titles)) {
        numbers << QString::number(t);
        lengths << dvdLengthText(dvd.titles.lengths.at(t - 1));
        paths << folder + Folders::separator() + DVDRipThread::fileName(dvd.label, numbers.last());
    }
    if (refuseTaken(call, paths) != Success)
        return BadUsage;

    DVDRipThread thread;
    thread.setDestination(folder);
    thread.setTitles(dvd.path, numbers, dvd.label, lengths);
    RipRun run(call, thread, paths, "title", [&thread] { thread.running = false; });
    run.leavePartialsToThread();
    QObject::connect(&thread, &DVDRipThread::ripTitleStarted, &run, &RipRun::started);
    QObject::connect(&thread, &DVDRipThread::progress, &run, &RipRun::progress);
    QObject::connect(&thread, &DVDRipThread::ripTitleFinished, &run, &RipRun::finished);
    QObject::connect(&thread, &DVDRipThread::error, &run, &RipRun::failed);
    return run.exec();
}

} // namespace

QList<Command> discCommands()
{
    const Option json{"json", {}, "Print one JSON document."};
    const Option output{"output", "DIR", "Put the files in this existing folder (default: the current one)."};
    return {
        {"drives", "[--json]",
         "List the optical drives and what is in them.",
         R"(Lists the machine's optical drives as the rip dialogs do: the device node and
the drive's identification (vendor, model, revision), then what is in it: an
audio CD with its number of audio tracks, else the disc's volume label, or a
word when the drive may not be opened. Prints nothing when there is no drive.
With --json, one array of {"device", "identification", "audioTracks",
"label", "problem"}.)",
         {json},
         {}, 0, 0, drives},
        {"cd-tracks", "[--json] SOURCE",
         "List the tracks of an audio CD or CD image.",
         R"(Lists the tracks of the audio CD in the drive SOURCE (a device node such as
/dev/sr0) or of a disc image (a .cue sheet with its .bin, a cdrdao .toc or
an .nrg file), as the "Rip from CD" dialog does: the disc's name, then each
track's number, length (m:ss and seconds) and whether it holds audio or data.
Data tracks (of an enhanced CD) are never ripped. Track titles from the
disc's CD-TEXT follow, and the disc's MusicBrainz and freedb ids end the
list. With --json, one object: "source", "name", "title", "performer",
"musicbrainz_discid", "freedb_id" and "tracks", each {"number", "length",
"seconds", "audio", "title", "performer"}.)",
         {json},
         "SOURCE", 1, 1, cdTracks},
        {"rip-cd", "SOURCE [--tracks 1,3-5] [--output DIR] [--mode fast|secure] [--offset N] [--test-and-copy] "
                   "[--preset ID [--keep-wav]] [--json]",
         "Rip tracks of an audio CD or CD image to WAV files.",
         R"(Rips tracks of the audio CD in the drive SOURCE, or of a disc image, to WAV
files (44.1 kHz, 16-bit stereo), one after another, as the "Rip from CD"
dialog does: all audio tracks unless --tracks names some. A track the disc's
CD-TEXT names is ripped to "NN Title.wav", any other to "Track N.wav". The
files go to --output or the current folder, with rip.log beside them: the
source, how it was read, the disc's MusicBrainz and freedb ids, and per track
its sectors, CRC32, AccurateRip v1 and v2 checksums, re-reads and
unrecoverable sectors. An existing file is never overwritten: when one of
the names is taken, it is named and nothing is ripped.

--mode secure (the default for a drive) reads through libcdio-paranoia:
every sector at least twice, jitter corrected, failed reads tried again;
--mode fast (the default for an image, which gives the same bytes) reads
each sector once. --offset gives the drive's read offset in samples (the
window's setting unless given). --test-and-copy reads every track twice and
compares the two.

Each finished file's path is printed on standard output; with --json, one
object per track instead: "number", "file", "crc32", "accuraterip_v1",
"accuraterip_v2" (8 hex digits each), "rereads", "unrecoverable". A track
that can't be read is named on standard error, its partial file removed, and
the next one goes on; a track with unrecoverable sectors, or whose two reads
differ, is kept and named there. The exit status is then 1. Ctrl-C stops the
rip and removes the track it was ripping.

--preset ID then converts the ripped tracks with that preset (see
"presets"), tagged with the disc's CD-TEXT (title, artist, album, track
number), into the album's folder under --output ("Performer - Album" when
the disc names them), with the rip log. The WAV files are kept only with
--keep-wav.)",
         {{"tracks", "LIST", "The tracks to rip: numbers and ranges such as 1,3-5."}, output,
          {"mode", "fast|secure", "How the disc is read (secure for a drive, fast for an image)."},
          {"offset", "N", "The drive's read offset in samples."},
          {"test-and-copy", {}, "Read every track twice and compare."},
          {"preset", "ID", "Convert the ripped tracks with this preset."},
          {"keep-wav", {}, "With --preset: keep the WAV files too."},
          {"json", {}, "Print one JSON object per ripped track."}},
         "SOURCE", 1, 1, ripCd},
        {"dvd-titles", "[--json] SOURCE",
         "List the titles of a DVD, DVD folder or DVD image.",
         R"(Lists the titles of the DVD-Video in the drive SOURCE (a device node), in a
folder (the VIDEO_TS folder or the one holding it) or in an ISO image, as the
"Rip from DVD" dialog does: the label the ripped files are named by, then
each title's number and length, the longest one marked. With --json, one
object: "source", "label" and "titles", each {"number", "length",
"milliseconds", "longest"}.)",
         {json},
         "SOURCE", 1, 1, dvdTitles},
        {"rip-dvd", "SOURCE [--titles 2,3] [--output DIR]",
         "Copy titles of a DVD to VOB files.",
         R"(Copies titles of the DVD-Video in the drive SOURCE, a DVD folder or an ISO
image to "LABEL_Title_T.vob" files, one after another, as the "Rip from DVD"
dialog does: the longest title unless --titles names some. The files go to
--output or the current folder. An existing file is never overwritten: when
one of the names is taken, it is named and nothing is ripped. Encrypted discs
need libdvdcss (Debian: libdvd-pkg).

Each finished file's path is printed on standard output. A title that can't
be copied is named on standard error and the next one goes on; the exit
status is then 1. Ctrl-C stops the copy and removes the title it was
copying.)",
         {{"titles", "LIST", "The titles to copy: numbers and ranges such as 2,3."}, output},
         "SOURCE", 1, 1, ripDvd},
    };
}

} // namespace Cli
