#include "jobs/toolengine.h"

#include "disc/burn/burndisc.h"
#include "media/conversionthread.h"
#include "media/fileinfothread.h"
#include "media/probe.h"
#include "platform/filenames.h"
#include "platform/ownfiles.h"
#include "platform/tools.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

struct ToolEngine::Copy {
    std::unique_ptr<QThread> thread;
    std::atomic<bool> stop{false};
    QString output;
    QString error;
    bool ok = false;
};

ToolEngine::ToolEngine(QObject *parent)
    : JobEngine(parent)
    , m_burner(new BurnDisc(this))
{
    m_probes.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    connect(m_burner, &BurnDisc::burnProgress, this, &JobEngine::burnProgress);
    connect(m_burner, &BurnDisc::textStatus, this, &JobEngine::burnTextStatus);
    connect(m_burner, &BurnDisc::burnEstTime, this, &JobEngine::burnEstTime);
    connect(m_burner, &BurnDisc::burnComplete, this, &JobEngine::burnCompleted);
}

ToolEngine::~ToolEngine()
{
    shutdown();
}

void ToolEngine::probe(quint64 id, const QString &path, bool thumbnail)
{
    const QString ffmpeg = Tools::find("ffmpeg");
    if (ffmpeg.isEmpty()) {
        if (!std::exchange(m_converterMissingTold, true)) {
            emit converterMissing("FFMpeg could not be located or is not responding.\n\n"
                                  "Please try re-installing MediaForgeStudio.");
        }
        return;
    }
    m_converterMissingTold = false;
    const quint64 generation = m_probeGeneration;
    const QString folder = thumbnail ? m_thumbnailFolder : QString();
    m_probes.start([this, id, path, ffmpeg, folder, generation] {
        if (generation != m_probeGeneration)
            return;
        const Probe::Answer answer =
            Probe::run(ffmpeg, path, folder, m_quit, FileInfoThread::defaultToolWaitMs);
        QMetaObject::invokeMethod(this, [this, id, answer, generation] {
            if (generation == m_probeGeneration)
                emit probed(id, answer.fileInfo, answer.video, answer.audio);
            else if (!answer.fileInfo.value(4).isEmpty())
                OwnFiles::remove(answer.fileInfo.value(4));
        });
    });
}

void ToolEngine::cancelProbes()
{
    ++m_probeGeneration;
    m_probes.clear();
}

ConversionThread *ToolEngine::idleRunner()
{
    for (const auto &runner : m_runners) {
        if (!m_running.contains(runner.get()))
            return runner.get();
    }
    auto *runner = new ConversionThread;
    m_runners.emplace_back(runner);
    const auto idOf = [this, runner] { return m_running.value(runner); };
    connect(runner, &ConversionThread::startConversion, this, [this, runner, idOf](const QString &name) {
        emit started(idOf(), name, runner->outputPath());
    });
    connect(runner, &ConversionThread::conversionProgress, this,
            [this, idOf](int seconds) { emit progressed(idOf(), seconds); });
    connect(runner, &ConversionThread::inputDuration, this,
            [this, idOf](const QString &duration) { emit durationFound(idOf(), duration); });
    connect(runner, &ConversionThread::conversionComplete, this,
            [this, runner](bool ok, const QString &output, const QString &error) {
                emit completed(m_running.take(runner), ok, output, error);
            });
    connect(runner, &ConversionThread::conversionCancelled, this,
            [this, runner] { emit cancelled(m_running.take(runner)); });
    return runner;
}

void ToolEngine::convert(quint64 id, const Conversion &conversion)
{
    if (conversion.args.isEmpty()) {
        copy(id, conversion);
        return;
    }
    ConversionThread *runner = idleRunner();
    m_running.insert(runner, id);
    runner->startJob(conversion.input, conversion.args, conversion.outStem, conversion.ext);
}

// A staged copy: the file as it is, under the first free name.
void ToolEngine::copy(quint64 id, const Conversion &conversion)
{
    auto job = std::make_shared<Copy>();
    job->output = OwnFiles::claimFreeName(conversion.outStem, conversion.ext, &job->error);
    if (job->output.isEmpty()) {
        QMetaObject::invokeMethod(this, [this, id, error = job->error] {
            emit completed(id, false, {}, "Cannot create a file in the staging folder: " + error);
        }, Qt::QueuedConnection);
        return;
    }
    m_copies.insert(id, job);
    emit started(id, QFileInfo(job->output).fileName(), job->output);
    // The job owns the thread, so the thread's work holds it by pointer.
    job->thread.reset(QThread::create([this, id, copy = job.get(), from = conversion.input,
                                       seconds = conversion.seconds] {
        QFile in, out;
        const int source = FileNames::openRead(from);
        const int target = ::open(FileNames::encode(copy->output).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        const bool open = source >= 0 && in.open(source, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
                          && target >= 0 && out.open(target, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
        if (!open) {
            copy->error = OwnFiles::errorText(errno);
            if (source >= 0 && !in.isOpen())
                ::close(source);
            if (target >= 0 && !out.isOpen())
                ::close(target);
            return;
        }
        const qint64 total = in.size();
        qint64 done = 0;
        QByteArray block(4 << 20, Qt::Uninitialized);
        while (!copy->stop) {
            const qint64 got = in.read(block.data(), block.size());
            if (got < 0 || (got > 0 && out.write(block.constData(), got) != got)) {
                copy->error = got < 0 ? in.errorString() : out.errorString();
                return;
            }
            if (got == 0) {
                copy->ok = out.flush();
                copy->error = out.errorString();
                return;
            }
            done += got;
            const int second = total > 0 ? int(done * seconds / total) : seconds;
            QMetaObject::invokeMethod(this, [this, id, second] { emit progressed(id, second); });
        }
    }));
    connect(job->thread.get(), &QThread::finished, this, [this, id] { copied(id); });
    job->thread->start();
}

void ToolEngine::copied(quint64 id)
{
    const std::shared_ptr<Copy> job = m_copies.take(id);
    if (!job)
        return;
    job->thread.release()->deleteLater();
    if (job->stop) {
        OwnFiles::remove(job->output);
        emit cancelled(id);
    } else if (!job->ok) {
        OwnFiles::remove(job->output);
        emit completed(id, false, job->output, job->error);
    } else {
        emit completed(id, true, job->output, {});
    }
}

void ToolEngine::stop(quint64 id)
{
    if (const auto job = m_copies.value(id)) {
        job->stop = true;
        return;
    }
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it) {
        if (it.value() == id) {
            it.key()->requestStop();
            return;
        }
    }
}

void ToolEngine::burn(const Burn &burn)
{
    m_burner->setJob(burn.discType, burn.drive, burn.folder, burn.standard);
    m_burner->setItems(burn.items);
    m_burner->setOptions(burn.options);
    m_burner->start();
}

void ToolEngine::stopBurn()
{
    m_burner->stop();
}

void ToolEngine::shutdown()
{
    m_quit = true;
    cancelProbes();
    m_probes.waitForDone();
    disconnect(this, nullptr, nullptr, nullptr);
    for (const auto &runner : m_runners) {
        runner->disconnect(this);
        runner->requestStop();
    }
    for (const auto &runner : m_runners)
        runner->wait(5000);
    for (const auto &job : std::as_const(m_copies)) {
        job->stop = true;
        job->thread->disconnect(this);
        job->thread->wait();
        OwnFiles::remove(job->output);
    }
    m_copies.clear();
    m_running.clear();
    m_burner->disconnect(this);
    m_burner->stop();
}
