// burn-dvd and burn-cd: the window's burner with its checks, on copies or
// conversions of the user's files in a staging folder of their own.

#include "cli/cataloguesource.h"
#include "cli/cli.h"
#include "cli/runfollower.h"

#include "disc/burn/cueimage.h"
#include "disc/burn/disccheck.h"
#include "disc/burn/stagingfolder.h"
#include "jobs/runcontroller.h"
#include "jobs/toolengine.h"
#include "platform/filenames.h"
#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

namespace {

// The format's preset for files that need converting: for a DVD the first
// of the run's standard in the window's order. False after saying why not.
bool choosePreset(const Invocation &call, const QString &discType, const QString &standard, Preset *chosen)
{
    CatalogueSource catalogue;
    if (!usable(call, catalogue))
        return false;
    const QString format = QString::number(discType == "dvd" ? RunController::dvdFormat : RunController::cdFormat);
    for (const Choice &choice : catalogue.choices()) {
        for (const Preset &preset : choice.presets) {
            if (!choice.device && choice.id == format && (discType != "dvd" || preset.caption.startsWith(standard))) {
                *chosen = preset;
                return true;
            }
        }
    }
    call.complain("The catalogue has no preset of format " + format + " to convert the files with.");
    return false;
}

// One burn on the job queue: every file probed, the disc or image checked
// as the burner dialog checks it, each file copied or converted into a
// staging folder of this run's, then the burner on the staged files in the
// order given. A file that can't be probed or staged burns nothing.
class BurnRun : public QObject
{
public:
    BurnRun(const Invocation &call, const QString &discType, const QString &target, const QString &standard,
            const DiscOptions &options)
        : m_call(call), m_discType(discType), m_target(target), m_standard(standard), m_options(options),
          m_run(&m_engine, {Folders::musicFolder(), Folders::videoFolder(), Folders::tempFolder()}),
          m_follower(call, m_run)
    {
        m_run.setProbing(RunController::Probing::Plain);
        m_run.setStageReadyAsIs(true);
        m_run.setStagingMaker([](const QString &temp, QString *error) { return StagingFolder::create(temp, error); });
        m_follower.printOutputs = false;
        m_follower.stopBurn = [this] { return stopBurn(); };
        connect(&m_run, &RunController::noStreamsFound, this, [this] { ++m_unusable; });
        connect(&m_run, &RunController::probesDone, this, &BurnRun::prepare);
        connect(&m_run, &RunController::jobFinished, this, [this](quint64 id, bool ok) {
            if (!ok && id != m_run.burnId()) {
                m_run.cancel();
                nothingBurned();
            }
        });
        connect(&m_engine, &JobEngine::burnTextStatus, this, [this](const QString &phase) {
            m_phase = phase;
            showBurn();
        });
        connect(&m_engine, &JobEngine::burnEstTime, this, [this](const QString &time) {
            m_timeLeft = time;
            // An estimate waits for the next percent, so that a log gets a
            // line per percent rather than per second.
            if (!time.startsWith("Time remaining"))
                showBurn();
        });
        connect(&m_engine, &JobEngine::burnProgress, this, [this](int percent) {
            m_percent = percent;
            showBurn();
        });
        connect(&m_engine, &JobEngine::burnCompleted, this, &BurnRun::burnt);
    }

    int exec(const QStringList &files)
    {
        // The runner and the burner keep their log in the temporary folder.
        QDir().mkpath(Folders::tempFolder());
        // What killed runs left is cleared first; a run going on keeps its own.
        StagingFolder::sweep(Folders::tempFolder());
        m_run.addFiles(files);
        return m_follower.exec();
    }

private:
    void prepare()
    {
        if (m_unusable) {
            nothingBurned();
            return;
        }
        // The burner dialog's check, with its answer for a user.
        const QString problem = DiscCheck::checkDisc(m_target, m_run.overallDuration(), m_discType);
        if (!problem.isEmpty()) {
            m_call.complain(oneLine(problem));
            m_follower.end(JobFailed);
            return;
        }
        Preset preset{{}, {}, m_discType == "dvd" ? "mpg" : "wav", {}};
        if (!m_run.allReadyToBurn(m_discType, m_standard) && !choosePreset(m_call, m_discType, m_standard, &preset)) {
            m_follower.end(JobFailed);
            return;
        }
        m_run.setChoice({{"ffmpegArgs", preset.arguments}, {"outExt", preset.extension},
                         {"formatId", m_discType == "dvd" ? RunController::dvdFormat : RunController::cdFormat}});
        m_run.setDiscOptions(m_options);
        QString why;
        if (!m_run.start(m_target, m_standard, &why)) {
            m_call.complain("Cannot create a staging folder in " + Folders::tempFolder() + ": " + why);
            m_follower.end(JobFailed);
        }
    }

    void nothingBurned()
    {
        m_follower.progress().end();
        m_call.complain("nothing was burned");
        m_follower.end(JobFailed);
    }

    void showBurn()
    {
        // The end is said twice, as "Burn Complete" and "Burn complete".
        const QString time = m_timeLeft.compare(m_phase, Qt::CaseInsensitive) == 0 ? QString() : m_timeLeft;
        m_follower.progress().show(m_phase + (time.isEmpty() ? QString() : "  " + time), qMax(m_percent, 0));
    }

    void burnt(bool ok, const QString &, const QString &reason)
    {
        if (ok)
            m_follower.progress().show(m_phase + (m_timeLeft == "Verified" ? ", verified" : ""), 100);
        m_follower.progress().end();
        if (!ok) {
            const QString why = reason.isEmpty() ? "see the log " + Folders::tempFolder() + "log.txt" : oneLine(reason);
            m_call.complain(why.startsWith("Verification failed") ? why : "Burn Failed: " + why);
            m_follower.end(JobFailed);
            return;
        }
        if (!DiscCheck::isImage(m_target)) {
            result("Burn Complete");
        } else {
            result(m_target);
            if (m_discType == "cd")
                result(DiscCheck::binBeside(m_target));
        }
        m_follower.end(Success);
    }

    // As the window on a signal: the tool is asked to stop, then killed; a
    // half image is removed.
    QString stopBurn()
    {
        m_engine.stopBurn();
        if (!DiscCheck::isImage(m_target))
            return "the burn was broken off; the disc in " + m_target + " may be unusable";
        // Finished just before the stop, and whole.
        if (FileNames::exists(m_target))
            return m_target + " was finished and is kept";
        return "no image was written";
    }

    const Invocation &m_call;
    const QString m_discType, m_target, m_standard;
    const DiscOptions m_options;
    ToolEngine m_engine;
    RunController m_run;
    RunFollower m_follower;
    int m_unusable = 0, m_percent = -1;
    QString m_phase, m_timeLeft;
};

int burn(const Invocation &call, const QString &discType)
{
    if (call.operands.isEmpty())
        return call.refuse("missing TARGET");
    if (call.operands.size() < 2)
        return call.refuse("missing FILE");
    const bool dvd = discType == "dvd";
    const QString standard = call.has("standard") ? call.value("standard").toUpper() : QString("PAL");
    if (standard != "PAL" && standard != "NTSC")
        return call.refuse("--standard is PAL or NTSC, not " + call.value("standard"));
    DiscOptions options;
    options.verify = !call.has("no-verify");
    options.title = call.value(dvd ? "label" : "title");
    if (call.has("chapter-minutes")) {
        bool number = false;
        options.chapterMinutes = call.value("chapter-minutes").toInt(&number);
        if (!number || options.chapterMinutes < 0 || options.chapterMinutes > 999)
            return call.refuse("--chapter-minutes is a number of minutes from 0 to 999, not "
                               + call.value("chapter-minutes"));
    }
    if (call.has("gap")) {
        if (call.value("gap") != "0" && call.value("gap") != "2")
            return call.refuse("--gap is 0 or 2 seconds, not " + call.value("gap"));
        options.gapSeconds = call.value("gap").toInt();
    }

    QString target = call.operands.first();
    const QString suffix = dvd ? ".iso" : ".cue";
    if (DiscCheck::isImage(target)) {
        if (!target.endsWith(suffix, Qt::CaseInsensitive)) {
            return call.refuse(dvd ? "a DVD image is an .iso file"
                                   : "an audio CD image is a .cue file (its .bin is written beside it)");
        }
        target = Folders::nativeAbsolute(target);
        QStringList made{target};
        if (!dvd) {
            made << DiscCheck::binBeside(target);
            const QString unnamable = CueImage::nameProblem(QFileInfo(made.last()).fileName());
            if (!unnamable.isEmpty())
                return call.refuse(oneLine(unnamable) + " Nothing was burned.");
        }
        for (const QString &file : made) {
            if (FileNames::taken(file))
                return call.refuse(file + " already exists; nothing was burned (move it away or name another image)");
        }
    } else if (FileNames::isFile(target) || FileNames::isFolder(target)) {
        return call.refuse(target + " is not a drive; name a drive's device node or an image file ending in " + suffix);
    }

    Invocation files = call;
    files.operands.removeFirst();
    int status;
    const QStringList paths = readableFiles(files, &status);
    if (status != Success)
        return status;
    return BurnRun(call, discType, target, standard, options).exec(paths);
}

} // namespace

QList<Command> burnCommands()
{
    const QString common = R"(

TARGET is a drive's device node (such as /dev/sr0), or the name of an image
file to write instead of a disc, as the window's "Image file" does. A drive is
checked by the disc tools as the window's burner dialog checks it (a blank
disc with room for the files), and refused with the dialog's words. An image's
folder must have room for it; an existing image is never overwritten.

The user's files are never renamed or moved: the burn works on copies, or on
conversions, in a staging folder in the temporary folder, which is removed at
the end. Progress (the phase, the percentage and the time left) goes to
standard error. When the burn succeeds, the image's files, or "Burn
Complete" for a disc, are printed on standard output. A failed burn is named
with its reason and the exit status is 1; nothing is burned when a file can't
be probed or converted. Ctrl-C stops a conversion, or the burner (a half
image is removed; a disc being written may be unusable).

What was written is read back and compared by checksum unless --no-verify
is given: a disc from the drive, an image with the program's own readers.
A difference ("Verification failed: track 3 differs") fails the burn with
exit status 1, and an image that reads back wrong is removed.)";
    return {
        {"burn-dvd", "TARGET [--standard PAL|NTSC] FILE...",
         "Author and burn a DVD-Video, or write it as an ISO image.",
         R"(Authors a DVD-Video with the FILEs as one title, in the order given, and burns
it to TARGET or writes it as an ISO image (TARGET ending in .iso). A chapter
starts where each file begins, and every --chapter-minutes within a file
(default 5; 0 for none). The volume label is --label, or the first file's
name, in upper case letters, digits and "_" (at most 32). Files that
are DVD-Video MPEG-2 already (an MPEG-2 program stream at a DVD frame size of
the standard, with AC-3 or MPEG audio at 48 kHz) are taken as they are; any
other file, audio alone included, is converted first with the DVD format's
first preset of the standard (see "presets --format 7").)" + common,
         {{"standard", "PAL|NTSC", "The video standard of the disc (default PAL)."},
          {"label", "TEXT", "The disc's volume label (default: the first file's name)."},
          {"chapter-minutes", "N", "A chapter every N minutes within a file (default 5; 0: one per file)."},
          {"no-verify", "", "Don't read the disc or image back to compare it."}},
         "TARGET FILE", 0, -1, [](const Invocation &call) { return burn(call, "dvd"); }},
        {"burn-cd", "TARGET FILE...",
         "Burn an audio CD, or write it as a BIN/CUE image.",
         R"(Burns an audio CD with each FILE as one track, in the order given, to TARGET,
or writes it as a BIN/CUE image (TARGET ending in .cue; the .bin goes beside
it). WAV files of 44.1 kHz 16-bit stereo PCM are taken as they are; any other
file is converted first with the Audio CD preset (see "presets --format 36").
The disc carries CD-TEXT: the album title (--title, else the files' album
tag, else the first file's name) and performer, and each track's title (its
title tag, else its file name without extension) and performer. The tracks
follow each other without a pause unless --gap 2 puts two seconds of silence
before each track after the first.)"
             + common,
         {{"title", "TEXT", "The album title in the CD-TEXT."},
          {"gap", "0|2", "Seconds of silence between tracks (default 0)."},
          {"no-verify", "", "Don't read the disc or image back to compare it."}},
         "TARGET FILE", 0, -1, [](const Invocation &call) { return burn(call, "cd"); }},
    };
}

} // namespace Cli
