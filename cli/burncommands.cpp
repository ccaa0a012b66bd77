// burn-dvd and burn-cd: the window's burner with its checks, on copies or
// conversions of the user's files in a staging folder of their own.

#include "cli/cataloguesource.h"
#include "cli/cli.h"
#include "cli/progress.h"

#include "disc/burn/burndisc.h"
#include "disc/burn/cueimage.h"
#include "disc/burn/disccheck.h"
#include "disc/burn/stagingfolder.h"
#include "media/clocktext.h"
#include "media/commandline.h"
#include "media/conversionthread.h"
#include "media/fileinfothread.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/quitsignals.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <memory>

namespace Cli {

namespace {

// The formats whose presets make what a burn takes (Audio CD, DVD).
const QString cdFormat = "36";
const QString dvdFormat = "7";

// dvdauthor takes what a DVD preset makes: an MPEG-2 program stream (it
// opens with a pack header) at a DVD frame size of the run's standard, with
// AC-3 or MPEG audio at 48 kHz.
bool readyForDvd(const QString &path, const QStringList &video, const QStringList &audio,
                 const QString &standard)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(4) != QByteArray("\x00\x00\x01\xba", 4))
        return false;
    const QStringList sizes = standard == "PAL"
                                  ? QStringList{"720x576", "704x576", "352x576", "352x288"}
                                  : QStringList{"720x480", "704x480", "352x480", "352x240"};
    const QString audioCodec = audio.value(0).split(' ').first();
    return video.value(0).split(' ').first() == "mpeg2video" && sizes.contains(probedFrameSize(video))
           && (audioCodec == "ac3" || audioCodec == "mp2") && audio.value(1) == "48000 Hz";
}

// An audio CD takes the samples of 44.1 kHz 16-bit stereo PCM WAV files.
bool readyForCd(const QString &path, const QStringList &video)
{
    QFile file(path);
    CueImage::Payload payload;
    QString error;
    return video.isEmpty() && file.open(QIODevice::ReadOnly) && CueImage::wavPayload(file, &payload, &error);
}

// Copies in steps, so that a stop is heard within one; false with the reason.
bool copyFile(const QString &from, const QString &to, const std::atomic<bool> &stop,
              const std::function<void(int)> &progress, QString *error)
{
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::ExistingOnly)) {
        *error = in.isOpen() ? out.errorString() : in.errorString();
        return false;
    }
    const qint64 total = in.size();
    qint64 done = 0;
    QByteArray block(4 << 20, Qt::Uninitialized);
    while (!stop) {
        const qint64 got = in.read(block.data(), block.size());
        if (got < 0 || (got > 0 && out.write(block.constData(), got) != got)) {
            *error = got < 0 ? in.errorString() : out.errorString();
            return false;
        }
        if (got == 0) {
            if (out.flush())
                return true;
            *error = out.errorString();
            return false;
        }
        done += got;
        progress(total > 0 ? int(done * 100 / total) : 100);
    }
    return false;
}

// One burn: every file probed, the disc or image checked as the burner
// dialog checks it, each file copied or converted into the staging folder
// in the order given, then the burner on that folder.
class BurnRun : public QObject
{
public:
    BurnRun(const Invocation &call, const QString &discType, const QString &target, const QStringList &files,
            const QString &standard)
        : m_call(call), m_discType(discType), m_target(target), m_files(files), m_standard(standard)
    {
        m_probe.setThumbnails(false);
        connect(&m_probe, &FileInfoThread::fileInfoReady, this, &BurnRun::probed);
        connect(&m_probe, &FileInfoThread::converterMissing, this, [this](const QString &message) {
            m_call.complain(oneLine(message));
            m_loop.exit(JobFailed);
        });
        connect(&m_runner, &ConversionThread::conversionProgress, this, [this](int seconds) {
            m_progress.show(m_label, percentOf(seconds, m_jobs.at(m_next).fileInfo.value(3)));
        });
        connect(&m_runner, &ConversionThread::conversionComplete, this, &BurnRun::converted);
        connect(&m_runner, &ConversionThread::conversionCancelled, this, [this] { converted(false, {}, {}); });
        connect(&m_burner, &BurnDisc::textStatus, this, [this](const QString &phase) {
            m_phase = phase;
            showBurn();
        });
        connect(&m_burner, &BurnDisc::burnEstTime, this, [this](const QString &time) {
            m_timeLeft = time;
            // An estimate waits for the next percent, so that a log gets a
            // line per percent rather than per second.
            if (!time.startsWith("Time remaining"))
                showBurn();
        });
        connect(&m_burner, &BurnDisc::burnProgress, this, [this](int percent) {
            m_percent = percent;
            showBurn();
        });
        connect(&m_burner, &BurnDisc::burnComplete, this, &BurnRun::burnt);
        connect(&m_stops, &QuitSignals::received, this, &BurnRun::stop);
    }

    ~BurnRun() override
    {
        m_copyStop = true;
        if (m_copier)
            m_copier->wait();
        if (!m_staging.isEmpty())
            OwnFiles::remove(m_staging);
    }

    int exec()
    {
        // The runner and the burner keep their log in the temporary folder.
        QDir().mkpath(Folders::tempFolder());
        // What killed runs left is cleared first; a run going on keeps its own.
        StagingFolder::sweep(Folders::tempFolder());
        QString why;
        m_staging = StagingFolder::create(Folders::tempFolder(), &why);
        if (m_staging.isEmpty()) {
            m_call.complain("Cannot create a staging folder in " + Folders::tempFolder() + ": " + why);
            return JobFailed;
        }
        for (const QString &file : m_files)
            m_probe.enqueue(file);
        const int status = m_loop.exec();
        m_probe.shutdown();
        m_runner.wait();
        return status;
    }

private:
    enum class Step { Probing, Staging, Burning };

    struct Job {
        QStringList fileInfo, video, audio;
        bool ready = false;
        QString path() const { return fileInfo.value(1) + fileInfo.value(0); }
    };

    void probed(const QStringList &fileInfo, const QStringList &video, const QStringList &audio)
    {
        // An answer that was on its way when a stop came.
        if (m_signal)
            return;
        m_jobs << Job{fileInfo, video, audio};
        if (m_jobs.size() == m_files.size())
            prepare();
    }

    void prepare()
    {
        int seconds = 0;
        bool unusable = false, convert = false;
        for (Job &job : m_jobs) {
            if (job.video.isEmpty() && job.audio.isEmpty()) {
                m_call.complain(job.path() + ": " + noStreams(job.fileInfo.value(0)));
                unusable = true;
            }
            seconds += qMax(0, clockSeconds(job.fileInfo.value(3)));
            job.ready = m_discType == "dvd" ? readyForDvd(job.path(), job.video, job.audio, m_standard)
                                            : readyForCd(job.path(), job.video);
            convert = convert || !job.ready;
        }
        if (unusable) {
            m_call.complain("nothing was burned");
            m_loop.exit(JobFailed);
            return;
        }
        // The burner dialog's check, with its answer for a user.
        const QString problem = DiscCheck::checkDisc(m_target, seconds, m_discType);
        if (!problem.isEmpty()) {
            m_call.complain(oneLine(problem));
            m_loop.exit(JobFailed);
            return;
        }
        if (convert && !choosePreset())
            return;
        m_step = Step::Staging;
        stageNext();
    }

    // The format's preset for files that need converting: for a DVD the
    // first of the run's standard in the window's order.
    bool choosePreset()
    {
        CatalogueSource catalogue;
        if (!catalogue.note().isEmpty())
            m_call.complain(catalogue.note());
        if (!catalogue.isOpen()) {
            m_call.complain(catalogue.problem());
            m_loop.exit(JobFailed);
            return false;
        }
        const QString format = m_discType == "dvd" ? dvdFormat : cdFormat;
        for (const Choice &choice : catalogue.choices()) {
            for (const Preset &preset : choice.presets) {
                if (!choice.device && choice.id == format
                    && (m_discType != "dvd" || preset.caption.startsWith(m_standard))) {
                    m_preset = preset;
                    return true;
                }
            }
        }
        m_call.complain("The catalogue has no preset of format " + format + " to convert the files with.");
        m_loop.exit(JobFailed);
        return false;
    }

    // The burn orders the staged files by when each was made, to the
    // millisecond, and file times move in steps of a few: the next file
    // starts clearly after the one before.
    void waitPastPrevious() const
    {
        if (m_lastStaged.isEmpty())
            return;
        const qint64 wait = BurnDisc::createdAt(QFileInfo(m_lastStaged)).toMSecsSinceEpoch() + 30
                            - QDateTime::currentMSecsSinceEpoch();
        if (wait > 0)
            QThread::msleep(quint64(wait));
    }

    void stageNext()
    {
        if (m_next == m_jobs.size()) {
            burn();
            return;
        }
        const Job &job = m_jobs.at(m_next);
        m_label = QString("%1 %2 of %3: %4")
                      .arg(job.ready ? "Copying" : "Converting")
                      .arg(m_next + 1)
                      .arg(m_jobs.size())
                      .arg(job.fileInfo.value(0));
        m_progress.show(m_label, 0);
        const QString stem = outputFileFor(job.fileInfo, m_staging);
        waitPastPrevious();
        if (!job.ready) {
            m_runner.startJob(job.path(), buildPresetArguments(m_preset.arguments, probedFrameSize(job.video)),
                              stem, m_preset.extension);
            return;
        }
        m_lastStaged = OwnFiles::claimFreeName(stem, m_discType == "dvd" ? "mpg" : "wav");
        m_copier.reset(QThread::create([this, from = job.path(), to = m_lastStaged] {
            m_copied = copyFile(from, to, m_copyStop, [this](int percent) {
                QMetaObject::invokeMethod(this, [this, percent] { m_progress.show(m_label, percent); });
            }, &m_copyError);
        }));
        connect(m_copier.get(), &QThread::finished, this, &BurnRun::copied);
        m_copier->start();
    }

    void copied()
    {
        if (m_signal) {
            stopped("nothing was burned");
            return;
        }
        if (!m_copied) {
            failStaging("Cannot copy it into " + m_staging + ": " + m_copyError);
            return;
        }
        m_progress.show(m_label, 100);
        ++m_next;
        stageNext();
    }

    void converted(bool ok, const QString &output, const QString &error)
    {
        if (m_signal) {
            stopped("nothing was burned");
            return;
        }
        if (!ok) {
            failStaging(error);
            return;
        }
        m_progress.show(m_label, 100);
        m_lastStaged = output;
        ++m_next;
        stageNext();
    }

    void failStaging(const QString &why)
    {
        m_progress.end();
        m_call.complain(m_jobs.at(m_next).path() + ": " + why);
        m_call.complain("nothing was burned");
        m_loop.exit(JobFailed);
    }

    void burn()
    {
        m_progress.end();
        m_step = Step::Burning;
        m_burner.setJob(m_discType, m_target, m_staging, m_discType == "dvd" ? m_standard : QString());
        m_burner.start();
    }

    void showBurn()
    {
        // The end is said twice, as "Burn Complete" and "Burn complete".
        const QString time = m_timeLeft.compare(m_phase, Qt::CaseInsensitive) == 0 ? QString() : m_timeLeft;
        m_progress.show(m_phase + (time.isEmpty() ? QString() : "  " + time), qMax(m_percent, 0));
    }

    void burnt(bool ok, const QString &, const QString &reason)
    {
        if (ok)
            m_progress.show(m_phase, 100);
        m_progress.end();
        if (!ok) {
            m_call.complain("Burn Failed: "
                            + (reason.isEmpty() ? "see the log " + Folders::tempFolder() + "log.txt" : oneLine(reason)));
            m_loop.exit(JobFailed);
            return;
        }
        if (!DiscCheck::isImage(m_target)) {
            result("Burn Complete");
        } else {
            result(m_target);
            if (m_discType == "cd")
                result(DiscCheck::binBeside(m_target));
        }
        m_loop.exit(Success);
    }

    void stop(int signal)
    {
        // Later signals find the stop under way.
        if (m_signal)
            return;
        m_signal = signal;
        switch (m_step) {
        case Step::Probing:
            m_probe.shutdown();
            stopped("nothing was burned");
            break;
        case Step::Staging:
            // The copy or conversion going on ends, and says so.
            m_copyStop = true;
            m_runner.requestStop();
            break;
        case Step::Burning:
            // As the window on a signal: the tool is asked to stop, then
            // killed; a half image is removed.
            m_burner.stop();
            if (!DiscCheck::isImage(m_target))
                stopped("the burn was broken off; the disc in " + m_target + " may be unusable");
            else if (QFileInfo::exists(m_target)) // finished just before the stop, and whole
                stopped(m_target + " was finished and is kept");
            else
                stopped("no image was written");
            break;
        }
    }

    void stopped(const QString &what)
    {
        m_progress.end();
        m_call.complain("stopped; " + what);
        m_loop.exit(stoppedStatus(m_signal));
    }

    const Invocation &m_call;
    const QString m_discType, m_target;
    const QStringList m_files;
    const QString m_standard;
    QEventLoop m_loop;
    QuitSignals m_stops;
    Progress m_progress;
    FileInfoThread m_probe;
    ConversionThread m_runner;
    BurnDisc m_burner;
    QString m_staging;
    std::unique_ptr<QThread> m_copier;
    std::atomic<bool> m_copyStop{false};
    bool m_copied = false;
    QString m_copyError;
    QList<Job> m_jobs;
    Preset m_preset;
    Step m_step = Step::Probing;
    int m_next = 0, m_percent = -1, m_signal = 0;
    QString m_label, m_lastStaged, m_phase, m_timeLeft;
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
    } else if (QFileInfo(target).isFile() || QFileInfo(target).isDir()) {
        return call.refuse(target + " is not a drive; name a drive's device node or an image file ending in " + suffix);
    }

    Invocation files = call;
    files.operands.removeFirst();
    int status;
    const QStringList paths = readableFiles(files, &status);
    if (status != Success)
        return status;
    return BurnRun(call, discType, target, paths, standard).exec();
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
image is removed; a disc being written may be unusable).)";
    return {
        {"burn-dvd", "TARGET [--standard PAL|NTSC] FILE...",
         "Author and burn a DVD-Video, or write it as an ISO image.",
         R"(Authors a DVD-Video with each FILE as one title, in the order given, and burns
it to TARGET or writes it as an ISO image (TARGET ending in .iso). Files that
are DVD-Video MPEG-2 already (an MPEG-2 program stream at a DVD frame size of
the standard, with AC-3 or MPEG audio at 48 kHz) are taken as they are; any
other file, audio alone included, is converted first with the DVD format's
first preset of the standard (see "presets --format 7").)" + common,
         {{"standard", "PAL|NTSC", "The video standard of the disc (default PAL)."}},
         "TARGET FILE", 0, -1, [](const Invocation &call) { return burn(call, "dvd"); }},
        {"burn-cd", "TARGET FILE...",
         "Burn an audio CD, or write it as a BIN/CUE image.",
         R"(Burns an audio CD with each FILE as one track, in the order given, to TARGET,
or writes it as a BIN/CUE image (TARGET ending in .cue; the .bin goes beside
it). WAV files of 44.1 kHz 16-bit stereo PCM are taken as they are; any other
file is converted first with the Audio CD preset (see "presets --format 36").)"
             + common,
         {},
         "TARGET FILE", 0, -1, [](const Invocation &call) { return burn(call, "cd"); }},
    };
}

} // namespace Cli
