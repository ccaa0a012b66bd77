#include "jobs/runcontroller.h"

#include "disc/burn/cueimage.h"
#include "jobs/jobstore.h"
#include "media/clocktext.h"
#include "media/commandline.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>

#include <unistd.h>

namespace {

const QString burnWaitingName = "Burning Phase";
const QString burnWaitingDuration = "Waiting to burn...";
const QString burnThumbnail = "images/burningthumb.png";
// The roles a job needs to come back after a crash.
const QStringList savedRoles{"fileName", "loading", "origFileName", "newFileName", "origPathName", "duration",
                             "videoCodec", "audioCodec", "wxh", "thumbnail", "finalOutput", "source"};

// dvdauthor takes what a DVD preset makes: an MPEG-2 program stream (it
// opens with a pack header) at a DVD frame size of the run's standard, with
// AC-3 or MPEG audio at 48 kHz.
bool readyForDvd(const Job &job, const QString &standard)
{
    QFile file(job.inputPath());
    if (!file.open(QIODevice::ReadOnly) || file.read(4) != QByteArray("\x00\x00\x01\xba", 4))
        return false;
    const QStringList sizes = standard == "PAL" ? QStringList{"720x576", "704x576", "352x576", "352x288"}
                                                : QStringList{"720x480", "704x480", "352x480", "352x240"};
    const QString audioCodec = job.audioInfo.value(0).split(' ').first();
    return job.videoInfo.value(0).split(' ').first() == "mpeg2video"
           && sizes.contains(probedFrameSize(job.videoInfo)) && (audioCodec == "ac3" || audioCodec == "mp2")
           && job.audioInfo.value(1) == "48000 Hz";
}

// An audio CD takes the samples of 44.1 kHz 16-bit stereo PCM WAV files.
bool readyForCd(const Job &job)
{
    QFile file(job.inputPath());
    CueImage::Payload payload;
    QString error;
    return job.videoInfo.isEmpty() && file.open(QIODevice::ReadOnly) && CueImage::wavPayload(file, &payload, &error);
}

} // namespace

RunController::RunController(JobEngine *engine, const OutputPlan::Places &places, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_plan(places)
{
    connect(m_engine, &JobEngine::probed, this, &RunController::probed);
    connect(m_engine, &JobEngine::converterMissing, this, [this](const QString &message) {
        // Rows waiting for a probe can't be converted in this run.
        m_probeStalled = true;
        emit converterMissing(message);
        if (m_running)
            fill();
    });
    connect(m_engine, &JobEngine::started, this, &RunController::started);
    connect(m_engine, &JobEngine::progressed, this, &RunController::progressed);
    connect(m_engine, &JobEngine::durationFound, this, [this](quint64 ticket, const QString &duration) {
        m_durationFound.insert(m_tickets.value(ticket));
        m_list.change(m_list.rowOf(m_tickets.value(ticket)), [&](Job &job) {
            if (clockSeconds(job.duration) < 0)
                job.duration = duration;
        });
    });
    connect(m_engine, &JobEngine::completed, this, &RunController::completed);
    connect(m_engine, &JobEngine::cancelled, this, &RunController::cancelled);
    connect(m_engine, &JobEngine::burnProgress, this, [this](int percent) {
        changeBurn([&](Job &job) { job.secondsDone = percent * burnWorkSeconds / 100; });
        updateProgress();
    });
    connect(m_engine, &JobEngine::burnTextStatus, this,
            [this](const QString &status) { changeBurn([&](Job &job) { job.newFileName = status; }); });
    connect(m_engine, &JobEngine::burnEstTime, this,
            [this](const QString &time) { changeBurn([&](Job &job) { job.duration = time; }); });
    connect(m_engine, &JobEngine::burnCompleted, this, &RunController::burnCompleted);

    // One save for any number of changes close together.
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(250);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] {
        if (m_unsaved) {
            save();
            m_saveTimer.start();
        }
    });
    // A new folder of our own, named by a random number.
    m_makeStaging = [](const QString &temp, QString *error) {
        for (int tries = 0; tries < 100; ++tries) {
            const QString folder = temp + QString::number(QRandomGenerator::global()->bounded(1000000000));
            if (OwnFiles::createFolder(folder, error))
                return folder;
            if (errno != EEXIST)
                break;
        }
        return QString();
    };
    connect(&m_list, &QAbstractItemModel::dataChanged, this, &RunController::listEdited);
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, &RunController::listEdited);
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, &RunController::listEdited);
    connect(&m_list, &QAbstractItemModel::rowsMoved, this, &RunController::listEdited);
}

RunController::~RunController()
{
    shutdown();
}

void RunController::setStore(JobStore *store)
{
    m_store = store;
    save();
}

// A change is saved at once, unless one was saved in the last quarter of a
// second: then once that has passed, with whatever else changed meanwhile.
void RunController::listEdited()
{
    emit listChanged();
    if (!m_store)
        return;
    if (m_saveTimer.isActive()) {
        m_unsaved = true;
        return;
    }
    save();
    m_saveTimer.start();
}

void RunController::save()
{
    m_unsaved = false;
    if (m_store && !m_shutDown)
        m_store->save(savedJobs(), settings());
}

// Settings and counts

int RunController::overallDuration() const
{
    int total = 0;
    for (const Job &job : m_list.jobs()) {
        if (job.state != Job::State::Loading && job.state != Job::State::Removing)
            total += job.workSeconds();
    }
    return total;
}

bool RunController::anyFinished() const
{
    return std::any_of(m_list.jobs().cbegin(), m_list.jobs().cend(), [](const Job &job) { return job.isFinished(); });
}

bool RunController::anyToConvert() const
{
    return std::any_of(m_list.jobs().cbegin(), m_list.jobs().cend(),
                       [](const Job &job) { return job.state == Job::State::Waiting; });
}

QString RunController::outputDescription() const
{
    const bool besideInputs = m_choice.value("outputSameFolder", true).toBool();
    return m_plan.description(m_list.jobs(), besideInputs ? QString() : m_choice.value("outPath").toString(),
                              burnKind(m_choice.value("formatId").toInt()));
}

void RunController::setSimultaneous(int jobs)
{
    jobs = std::max(0, jobs);
    if (jobs == m_simultaneous)
        return;
    m_simultaneous = jobs;
    emit simultaneousChanged();
    if (m_running)
        fill();
}

bool RunController::soundOnly() const
{
    return m_choice.value("ffmpegArgs").toString().trimmed().startsWith("-vn");
}

int RunController::jobsAtOnce() const
{
    if (m_simultaneous > 0)
        return m_simultaneous;
    // Sound encoders use one core each; video encoders already spread over
    // several, so a second one at once gains little and costs memory.
    const int cores = std::max(1, QThread::idealThreadCount());
    return soundOnly() ? cores : std::max(1, cores / 2);
}

void RunController::setChoice(const QVariantMap &choice)
{
    for (const char *key : {"srcTemp", "desTemp"}) {
        if (choice.contains(key))
            (QString(key) == "srcTemp" ? m_plan.srcTemp : m_plan.desTemp) = choice.value(key).toString();
    }
    m_choice = choice;
    m_choice.remove("srcTemp");
    m_choice.remove("desTemp");
    listEdited();
}

QVariantMap RunController::settings() const
{
    QVariantMap settings = m_choice;
    settings.insert("srcTemp", m_plan.srcTemp);
    // A pending burn comes back with its staging folder.
    settings.insert("desTemp", m_plan.staging().isEmpty() ? m_plan.desTemp : m_plan.staging());
    return settings;
}

QString RunController::burnKind(int formatId)
{
    return formatId == dvdFormat ? "dvd" : formatId == cdFormat ? "cd" : QString();
}

bool RunController::allReadyToBurn(const QString &discType, const QString &standard) const
{
    return std::all_of(m_list.jobs().cbegin(), m_list.jobs().cend(), [&](const Job &job) {
        return job.isBurn() || (discType == "dvd" ? readyForDvd(job, standard) : readyForCd(job));
    });
}

bool RunController::burnWaiting(const QString &kind) const
{
    const Job::Source source = kind == "dvd" ? Job::Source::BurnDvd : Job::Source::BurnCd;
    return std::any_of(m_list.jobs().cbegin(), m_list.jobs().cend(), [&](const Job &job) {
        return job.source == source && job.state == Job::State::Waiting;
    });
}

// Adding and probing

void RunController::appendInputs(const QStringList &paths, Job::Source source, const QString &length)
{
    const bool probe = !(m_probing == Probing::NotForSoundOnly && soundOnly());
    QList<Job> jobs;
    for (const QString &path : paths) {
        Job job;
        job.source = source;
        job.fileName = path;
        job.duration = length;
        if (source == Job::Source::Cd)
            job.tags = ripTags(path);
        if (!probe) {
            // The name parts as a probe gives them; the rest comes from the conversion.
            const int slash = int(path.lastIndexOf(Folders::separator()));
            job.origFileName = path.mid(slash + 1);
            job.origPathName = path.left(slash + 1);
            job.newFileName = baseName(job.origFileName);
            job.state = Job::State::Waiting;
        }
        jobs << job;
    }
    const QList<quint64> ids = m_list.append(jobs);
    for (int i = 0; probe && i < ids.size(); ++i)
        m_engine->probe(ids.at(i), paths.at(i), m_probing == Probing::WithThumbnail);
    if (m_running)
        fill();
}

void RunController::addFiles(const QStringList &paths, const QString &source)
{
    appendInputs(paths, source == "cd" ? Job::Source::Cd : Job::Source::File, {});
}

void RunController::addDvd(const QStringList &paths, const QString &length)
{
    appendInputs(paths, Job::Source::Dvd, length);
}

void RunController::probed(quint64 id, const QStringList &fileInfo, const QStringList &video,
                           const QStringList &audio)
{
    m_probeStalled = false;
    const int row = m_list.rowOf(id);
    if (row < 0 || m_list.at(row).state != Job::State::Loading) {
        // The row went while its probe ran.
        OwnFiles::remove(fileInfo.value(4));
    } else {
        bool found = true;
        m_list.change(row, [&](Job &job) {
            found = job.takeProbe(fileInfo, video, audio);
            if (found)
                job.state = Job::State::Waiting;
        });
        if (!found) {
            const QString path = m_list.at(row).fileName;
            dropRow(row);
            emit noStreamsFound(fileInfo.value(0), path);
        }
    }
    const bool loading = std::any_of(m_list.jobs().cbegin(), m_list.jobs().cend(),
                                     [](const Job &job) { return job.state == Job::State::Loading; });
    if (!loading)
        emit probesDone();
    if (m_running)
        fill();
}

// The run

bool RunController::start(const QString &drive, const QString &caption, QString *error)
{
    if (m_running || m_shutDown)
        return false;
    const QString kind = burnKind(m_choice.value("formatId").toInt());
    const Job::Source burnSource = kind == "dvd" ? Job::Source::BurnDvd : Job::Source::BurnCd;
    // A burn row that came back after a crash goes on into its staging
    // folder when the disc kind is still the same.
    int restored = -1;
    for (int row = 0; row < m_list.count(); ++row) {
        if (m_list.at(row).isBurn() && m_list.at(row).state == Job::State::Waiting)
            restored = row;
    }
    if (restored >= 0 && (kind.isEmpty() || m_list.at(restored).source != burnSource)) {
        dropRow(restored);
        m_plan.setStaging({});
        restored = -1;
    }
    if (restored >= 0) {
        m_burnId = m_list.at(restored).id;
        m_list.move(restored, m_list.count() - 1);
    } else if (!kind.isEmpty()) {
        if (drive.isEmpty())
            return false;
        QDir().mkpath(m_plan.tempFolder());
        const QString folder = m_makeStaging(m_plan.tempFolder(), error);
        if (folder.isEmpty())
            return false;
        m_plan.setStaging(folder.mid(folder.lastIndexOf(Folders::separator()) + 1));
        Job burn;
        burn.source = burnSource;
        burn.state = Job::State::Waiting;
        burn.fileName = drive;
        burn.newFileName = burnWaitingName;
        burn.duration = burnWaitingDuration;
        burn.thumbnail = burnThumbnail;
        burn.finalOutput = caption;
        m_burnId = m_list.append(burn);
    } else {
        m_plan.setStaging({});
        m_burnId = 0;
    }
    const QString folder = m_choice.value("outputSameFolder", true).toBool() ? QString()
                                                                             : m_choice.value("outPath").toString();
    m_plan.setFolder(folder);

    m_running = true;
    m_burning = false;
    m_done = m_failed = 0;
    m_list.setEditable(false);
    m_runClock.start();
    m_runDoneAtStart = 0;
    for (const Job &job : m_list.jobs()) {
        if (job.isFinished())
            m_runDoneAtStart += job.workSeconds();
    }
    emit runningChanged();
    fill();
    return true;
}

void RunController::fill()
{
    if (!m_running || m_burning)
        return;
    const int allowed = jobsAtOnce();
    bool pending = false;
    for (int row = 0; row < m_list.count(); ++row) {
        const Job &job = m_list.at(row);
        if (job.isBurn()) {
            if (job.state == Job::State::Waiting) {
                // Everything before the burn is staged first; later rows
                // wait for the next run.
                if (!pending && m_tickets.isEmpty())
                    startBurn(row);
                return;
            }
            continue;
        }
        if (job.state == Job::State::Loading && !m_probeStalled)
            pending = true;
        if (job.state == Job::State::Converting || job.state == Job::State::Removing)
            pending = true;
        if (job.state == Job::State::Waiting && int(m_tickets.size()) < allowed) {
            startConversion(row);
            pending = true;
        } else if (job.state == Job::State::Waiting) {
            pending = true;
        }
    }
    if (!pending && m_tickets.isEmpty())
        endRun(false);
}

void RunController::startConversion(int row)
{
    const Job &job = m_list.at(row);
    JobEngine::Conversion c;
    c.input = job.inputPath();
    c.outStem = m_plan.outputStem(job);
    c.ext = m_choice.value("outExt").toString();
    c.seconds = job.workSeconds();
    const int burn = burnRow();
    const bool dvd = burn >= 0 && m_list.at(burn).source == Job::Source::BurnDvd;
    const bool asIs = m_stageReadyAsIs && burn >= 0
                      && (dvd ? readyForDvd(job, burnStandard(m_list.at(burn))) : readyForCd(job));
    if (asIs)
        c.ext = dvd ? "mpg" : "wav";
    else
        c.args = buildPresetArguments(m_choice.value("ffmpegArgs").toString(), probedFrameSize(job.videoInfo));
    // Tags go with the files the user keeps, not with copies staged for a disc.
    if (!asIs && m_plan.staging().isEmpty())
        c.args += metadataArguments(job.tags);
    const quint64 id = job.id;
    m_list.change(row, [](Job &j) {
        j.state = Job::State::Converting;
        j.secondsDone = 0;
        j.timeLeft.clear();
        j.selected = false;
    });
    const quint64 ticket = m_nextTicket++;
    m_tickets.insert(ticket, id);
    m_clocks[id].start();
    m_engine->convert(ticket, c);
    emit jobStarted(id);
}

void RunController::startBurn(int row)
{
    const Job &job = m_list.at(row);
    m_burning = true;
    JobEngine::Burn burn;
    burn.discType = job.source == Job::Source::BurnDvd ? "dvd" : "cd";
    burn.drive = job.fileName;
    burn.folder = m_plan.tempFolder() + m_plan.staging();
    burn.standard = burn.discType == "dvd" ? burnStandard(job) : QString();
    // The disc holds the staged files in list order, whatever order they
    // finished in, each with its length and CD-TEXT.
    QList<Job> staged;
    for (int r = 0; r < row; ++r) {
        const Job &done = m_list.at(r);
        if (done.state != Job::State::Done || !m_outputs.contains(done.id))
            continue;
        staged << done;
        const QString title = done.tags.title.trimmed();
        burn.items << DiscItem{m_outputs.value(done.id), done.workSeconds(),
                               title.isEmpty() ? baseName(done.origFileName) : title, done.tags.artist.trimmed()};
    }
    burn.options = m_discOptions;
    if (burn.options.title.isEmpty())
        burn.options.title = discTitle(burn.discType, staged);
    // A crash from here on finds the burn waiting, with its staging folder.
    save();
    m_engine->burn(burn);
    emit burnStarted();
}

void RunController::started(quint64 ticket, const QString &name, const QString &path)
{
    const quint64 id = m_tickets.value(ticket);
    const int row = m_list.rowOf(id);
    if (row < 0)
        return;
    m_outputs.insert(id, path);
    // Saved at once: a crash from here on finds the half-written file named.
    if (m_store)
        m_store->addRunningOutput(path);
    if (m_list.at(row).state == Job::State::Converting) {
        m_list.change(row, [&](Job &job) { job.newFileName = name; });
        emit jobProgressed(id);
    }
}

void RunController::progressed(quint64 ticket, int seconds)
{
    const quint64 id = m_tickets.value(ticket);
    const int row = m_list.rowOf(id);
    if (row < 0 || m_list.at(row).state != Job::State::Converting)
        return;
    const qint64 elapsed = m_clocks.value(id).elapsed();
    m_list.change(row, [&](Job &job) {
        job.secondsDone = seconds;
        const int rest = job.workSeconds() - seconds;
        job.timeLeft = seconds > 0 && elapsed > 0 && rest >= 0 ? shortClockText(qint64(rest) * elapsed / 1000 / seconds)
                                                               : QString();
    });
    updateProgress();
    emit jobProgressed(id);
}

void RunController::completed(quint64 ticket, bool ok, const QString &output, const QString &error)
{
    // A report of a conversion stopped with its whole run is no longer awaited.
    if (!m_tickets.contains(ticket))
        return;
    const quint64 id = endTicket(ticket);
    const int row = m_list.rowOf(id);
    if (row >= 0 && m_list.at(row).state == Job::State::Removing) {
        // It ended before it noticed the stop: the removal still stands, and
        // a staged output must not reach the disc. (A failed job's output is
        // gone already: the runner removes what it wrote.)
        if (ok && !m_plan.staging().isEmpty())
            ::unlink(FileNames::encode(output).constData());
        m_outputs.remove(id);
        m_list.removeAt(row);
    } else if (row >= 0 && m_list.at(row).state == Job::State::Converting) {
        finishJob(row, ok, output, error);
    }
    updateProgress();
    fill();
}

// A conversion is over (or no longer awaited): its output is no longer a
// half-written one.
quint64 RunController::endTicket(quint64 ticket)
{
    const quint64 id = m_tickets.take(ticket);
    m_clocks.remove(id);
    if (m_store && m_outputs.contains(id))
        m_store->removeRunningOutput(m_outputs.value(id));
    return id;
}

void RunController::finishJob(int row, bool ok, const QString &output, const QString &error)
{
    const quint64 id = m_list.at(row).id;
    // A job not probed whose converter never named its input found no stream in it.
    const bool noStreams = !ok && !m_list.at(row).probed && !m_durationFound.contains(id);
    m_durationFound.remove(id);
    m_list.change(row, [&](Job &job) {
        job.state = ok ? Job::State::Done : Job::State::Failed;
        job.error = ok ? Job::Error::None : noStreams ? Job::Error::NoStreams : Job::Error::Converter;
        job.errorMsg = noStreams ? noStreamsText(job.origFileName) : error;
        job.finalOutput = output;
        job.secondsDone = job.workSeconds();
        job.timeLeft.clear();
    });
    // A staged output stays for the burn; others are the user's now.
    if (burnRow() < 0)
        m_outputs.remove(id);
    ok ? ++m_done : ++m_failed;
    emit jobFinished(id, ok);
}

void RunController::cancelled(quint64 ticket)
{
    if (!m_tickets.contains(ticket))
        return;
    const quint64 id = endTicket(ticket);
    m_outputs.remove(id);
    const int row = m_list.rowOf(id);
    if (row >= 0 && m_list.at(row).state == Job::State::Removing)
        m_list.removeAt(row);
    updateProgress();
    fill();
}

void RunController::burnCompleted(bool ok, const QString &device, const QString &reason)
{
    const int row = burnRow();
    if (!m_burning || row < 0)
        return;
    m_burning = false;
    m_list.change(row, [&](Job &job) {
        job.state = ok ? Job::State::Done : Job::State::Failed;
        job.error = ok ? Job::Error::None : Job::Error::Burn;
        job.errorMsg = reason;
        job.finalOutput = device;
        job.secondsDone = burnWorkSeconds;
    });
    ok ? ++m_done : ++m_failed;
    emit jobFinished(m_burnId, ok);
    endBurnRun();
    endRun(false);
}

// The staged copies have served, or the run that made them is over.
void RunController::endBurnRun()
{
    if (!m_plan.staging().isEmpty())
        OwnFiles::remove(m_plan.tempFolder() + m_plan.staging());
    m_plan.setStaging({});
    m_outputs.clear();
    m_burnId = 0;
}

void RunController::endRun(bool cancelled)
{
    if (!m_running)
        return;
    m_running = false;
    m_list.setEditable(true);
    m_overallProgress = cancelled ? 0 : 100;
    m_timeLeft.clear();
    emit runningChanged();
    emit progressChanged();
    listEdited();
    emit runFinished(m_done, m_failed, cancelled);
}

void RunController::cancel()
{
    if (!m_running)
        return;
    for (const quint64 ticket : m_tickets.keys()) {
        m_engine->stop(ticket);
        endTicket(ticket);
    }
    for (int row = 0; row < m_list.count(); ++row) {
        if (m_list.at(row).state != Job::State::Converting)
            continue;
        m_list.change(row, [](Job &j) {
            j.state = Job::State::Waiting;
            j.newFileName = baseName(j.origFileName);
            j.secondsDone = 0;
            j.timeLeft.clear();
        });
    }
    if (m_burning)
        m_engine->stopBurn();
    m_burning = false;
    for (int row = m_list.count() - 1; row >= 0; --row) {
        if (m_list.at(row).isBurn() && !m_list.at(row).isFinished())
            m_list.removeAt(row);
    }
    endBurnRun();
    endRun(true);
}

QString RunController::discTitle(const QString &kind, const QList<Job> &jobs)
{
    if (jobs.isEmpty())
        return {};
    const Job &first = jobs.first();
    // Before its run a job's name is what it will be called; after, the
    // name of its output.
    const QString name = first.state == Job::State::Done ? baseName(first.newFileName) : first.newFileName;
    if (kind == "dvd")
        return DiscPlan::volumeLabel(name);
    for (const Job &job : jobs) {
        const QString album = job.tags.album.trimmed();
        if (!album.isEmpty())
            return album;
    }
    return name;
}

QString RunController::defaultDiscTitle(const QString &kind) const
{
    QList<Job> coming;
    for (const Job &job : m_list.jobs()) {
        if (!job.isBurn() && !job.isFinished())
            coming << job;
    }
    return discTitle(kind, coming);
}

QString RunController::burnStandard(const Job &burn)
{
    return burn.finalOutput.split(' ').first() == "PAL" ? "PAL" : "NTSC";
}

// Rows

bool RunController::isConverting(int row) const
{
    return row >= 0 && row < m_list.count() && m_list.at(row).state == Job::State::Converting;
}

void RunController::dropRow(int row)
{
    const Job &job = m_list.at(row);
    if (!job.isBurn() && !job.thumbnail.isEmpty())
        OwnFiles::remove(job.thumbnail);
    m_outputs.remove(job.id);
    m_list.removeAt(row);
}

void RunController::remove(int row)
{
    if (row < 0 || row >= m_list.count() || m_list.at(row).isBurn())
        return;
    const Job &job = m_list.at(row);
    if (job.state == Job::State::Converting) {
        if (!job.thumbnail.isEmpty())
            OwnFiles::remove(job.thumbnail);
        m_list.change(row, [](Job &j) {
            j.state = Job::State::Removing;
            j.thumbnail.clear();
        });
        m_engine->stop(m_tickets.key(job.id));
    } else if (job.state != Job::State::Removing) {
        dropRow(row);
    }
    updateProgress();
}

void RunController::clearFinished()
{
    for (int row = m_list.count() - 1; row >= 0; --row) {
        if (m_list.at(row).isFinished())
            dropRow(row);
    }
}

void RunController::endEdits()
{
    for (int row = 0; row < m_list.count(); ++row) {
        if (!m_list.at(row).selected)
            continue;
        m_list.change(row, [](Job &job) {
            job.selected = false;
            // A typed name loses the blanks around it; an output can't be
            // named by nothing.
            job.newFileName = job.newFileName.trimmed();
            if (job.newFileName.isEmpty())
                job.newFileName = baseName(job.origFileName);
        });
    }
}

// Progress and time left

void RunController::updateProgress()
{
    if (!m_running) {
        emit progressChanged();
        return;
    }
    qint64 total = 0, done = 0, runRest = 0;
    for (const Job &job : m_list.jobs()) {
        if (job.state == Job::State::Loading || job.state == Job::State::Removing)
            continue;
        total += job.workSeconds();
        if (job.isFinished())
            done += job.workSeconds();
        else if (job.state == Job::State::Converting || (job.isBurn() && m_burning))
            done += std::min(job.secondsDone, job.workSeconds());
        if (!job.isBurn() && !job.isFinished())
            runRest += job.workSeconds() - std::min(job.secondsDone, job.workSeconds());
    }
    m_overallProgress = total > 0 ? int(std::clamp<qint64>(done * 100 / total, 0, 100)) : 0;
    // Seconds of media converted per second, over the whole run so far.
    const qint64 elapsed = m_runClock.elapsed();
    const qint64 converted = done - m_runDoneAtStart;
    m_timeLeft = elapsed > 1000 && converted > 0 && !m_burning ? shortClockText(runRest * elapsed / 1000 / converted)
                                                               : QString();
    emit progressChanged();
}

// Saving and restoring

QVariantList RunController::savedJobs() const
{
    QVariantList jobs;
    for (int row = 0; row < m_list.count(); ++row) {
        const Job &job = m_list.at(row);
        if (job.isFinished() || job.state == Job::State::Removing)
            continue;
        const QVariantMap roles = m_list.get(row);
        QVariantMap saved;
        for (const QString &role : savedRoles)
            saved.insert(role, roles.value(role));
        saved.insert("running", job.state == Job::State::Converting);
        if (job.state == Job::State::Converting && m_outputs.contains(job.id))
            saved.insert("output", m_outputs.value(job.id));
        // A burn cut off comes back as it was before it began.
        if (job.isBurn()) {
            saved.insert("newFileName", burnWaitingName);
            saved.insert("duration", burnWaitingDuration);
        }
        jobs << saved;
    }
    return jobs;
}

void RunController::restore(const QVariantList &jobs, const QVariantMap &settings)
{
    setChoice(settings);
    for (const QVariant &value : jobs) {
        const QVariantMap saved = value.toMap();
        Job::Source source;
        if (!sourceFromName(saved.value("source").toString(), &source))
            continue;
        // A row the probe had not answered yet is simply probed again.
        if (saved.value("loading").toBool() && source != Job::Source::BurnDvd && source != Job::Source::BurnCd) {
            appendInputs({saved.value("fileName").toString()}, source,
                         source == Job::Source::Dvd ? saved.value("duration").toString() : QString());
            continue;
        }
        Job job;
        job.source = source;
        job.state = Job::State::Waiting;
        job.fileName = saved.value("fileName").toString();
        job.origFileName = saved.value("origFileName").toString();
        job.newFileName = saved.value("newFileName").toString();
        job.origPathName = saved.value("origPathName").toString();
        job.duration = saved.value("duration").toString();
        job.videoCodec = saved.value("videoCodec").toString();
        job.audioCodec = saved.value("audioCodec").toString();
        job.wxh = saved.value("wxh").toString();
        job.thumbnail = saved.value("thumbnail").toString();
        job.finalOutput = saved.value("finalOutput").toString();
        if (source == Job::Source::Cd)
            job.tags = ripTags(job.fileName);
        if (!job.videoCodec.isEmpty())
            job.videoInfo = QStringList{job.videoCodec, {}, job.wxh};
        if (!job.audioCodec.isEmpty())
            job.audioInfo = QStringList{job.audioCodec};
        const quint64 id = m_list.append(job);
        if (job.isBurn()) {
            m_plan.setStaging(settings.value("desTemp").toString());
            m_burnId = id;
        }
    }
    emit restored(settings);
}

void RunController::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_saveTimer.stop();
    m_engine->disconnect(this);
    m_engine->shutdown();
}
