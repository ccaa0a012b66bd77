#include "media/conversionthread.h"

#include "media/fileinfothread.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/textlog.h"
#include "platform/tools.h"

#include <QElapsedTimer>
#include <QProcess>

namespace {

// Enough to hold the last few lines of the converter's text.
constexpr int tailChars = 4096;
// A record longer than this without an end is not a progress record.
constexpr int pendingLimit = 65536;

} // namespace

ConversionThread::ConversionThread(QObject *parent)
    : QThread(parent)
{
}

void ConversionThread::setParameters(const QString &inFile, const QStringList &args,
                                     const QString &outFile, const QString &outExt)
{
    // The input is the file as named: a name may end in a space. Only the
    // output's name may have been typed, with stray spaces around it.
    m_inFile = inFile;
    m_args.clear();
    for (const QString &a : args)
        m_args << a.trimmed();
    m_outFile = outFile.trimmed();
    m_outExt = outExt;
    QMutexLocker lock(&m_outLock);
    m_chosenOutput.clear();
}

void ConversionThread::startRun()
{
    if (isRunning())
        return;
    ++m_generation;
    m_returned = false;
    m_running = true;
    start();
}

void ConversionThread::startJob(const QString &inFile, const QStringList &args,
                                const QString &outFile, const QString &outExt)
{
    if (isRunning()) {
        if (!m_returned) {
            m_waiting = Job{inFile, args, outFile, outExt};
            return;
        }
        // Past its last signal: the thread ends at once.
        wait();
    }
    setParameters(inFile, args, outFile, outExt);
    startRun();
}

void ConversionThread::startWaitingJob(quint64 generation)
{
    // A newer run has started since; its own end takes care of the job.
    if (!m_waiting || generation != m_generation)
        return;
    wait();
    const Job job = std::move(*m_waiting);
    m_waiting.reset();
    setParameters(job.inFile, job.args, job.outFile, job.outExt);
    startRun();
}

bool ConversionThread::requestStop()
{
    if (m_waiting) {
        // The interface takes the waiting job for the running one.
        m_waiting.reset();
        QMetaObject::invokeMethod(this, [this] { emit conversionCancelled(); },
                                  Qt::QueuedConnection);
        return true;
    }
    m_running = false;
    return false;
}

QString ConversionThread::outputPath() const
{
    QMutexLocker lock(&m_outLock);
    return m_chosenOutput;
}

int ConversionThread::progressSeconds(const QString &records)
{
    const int at = records.indexOf("time=");
    if (at < 0)
        return -1;
    const QString t = records.mid(at + 5, 11);
    auto field = [&t](int from) {
        bool ok = false;
        const QString digits = t.mid(from, 2);
        const int v = digits.toInt(&ok);
        return ok && digits.size() == 2 && digits.at(0).isDigit() && digits.at(1).isDigit() ? v
                                                                                         : -1;
    };
    const int h = field(0), m = field(3), s = field(6);
    if (h < 0 || m < 0 || m > 59 || s < 0 || s > 59 || t.at(2) != ':' || t.at(5) != ':')
        return 0;
    return h * 3600 + m * 60 + s;
}

int ConversionThread::takeProgress(QString &pending, const QString &chunk)
{
    pending += chunk;
    const int end = std::max(pending.lastIndexOf('\r'), pending.lastIndexOf('\n'));
    if (end < 0) {
        if (pending.size() > pendingLimit)
            pending.clear();
        return -1;
    }
    const int seconds = progressSeconds(pending.left(end + 1));
    pending = pending.mid(end + 1);
    return seconds;
}

QString ConversionThread::lastLine(const QString &text)
{
    // Progress records end with a carriage return, so an error printed after
    // them shares their line feed; the user's last line starts after both.
    const QString t = text.trimmed();
    const int end = std::max(t.lastIndexOf('\n'), t.lastIndexOf('\r'));
    return t.mid(end + 1).trimmed();
}

void ConversionThread::log(const QString &text) const
{
    appendLogLine(Folders::tempFolder() + "log.txt", text);
}

void ConversionThread::cancel(const QString &out)
{
    // Only while it is still the very file this job made: another run's
    // file, or the user's put in its place, stays.
    OwnFiles::remove(out);
    emit conversionCancelled();
    m_returned = true;
}

void ConversionThread::finish(bool quitOk, const QString &out, const QString &errorMsg,
                              const QString &detail)
{
    // A stop that came while the converter was starting or failing to.
    if (!m_running) {
        cancel(out);
        return;
    }
    log(QString("Conversion finished: quitOK=") + (quitOk ? "true" : "false"));
    if (!quitOk)
        log(detail);
    if (quitOk)
        OwnFiles::forget(out); // the user's file from now on
    else
        OwnFiles::remove(out);
    m_running = false;
    emit conversionComplete(quitOk, out, errorMsg);
    m_returned = true;
}

void ConversionThread::run()
{
    const quint64 generation = m_generation;
    // The owner starts a job that waited for this run once it has ended.
    struct AtEnd {
        ConversionThread *self;
        quint64 generation;
        ~AtEnd()
        {
            self->m_returned = true;
            QMetaObject::invokeMethod(
                self, [s = self, g = generation] { s->startWaitingJob(g); },
                Qt::QueuedConnection);
        }
    } atEnd{this, generation};

    // Stopped before it began: nothing was started or written.
    if (!m_running) {
        emit conversionCancelled();
        m_returned = true;
        return;
    }

    // Claimed as it is chosen, so that a run beside this one, in this
    // program or another, moves on to the next name.
    QString why;
    const QString out = OwnFiles::claimFreeName(m_outFile, m_outExt, &why);
    if (out.isEmpty()) {
        const QString msg = "Cannot create " + m_outFile + "." + m_outExt + ": " + why;
        finish(false, out, msg, msg);
        return;
    }
    {
        QMutexLocker lock(&m_outLock);
        m_chosenOutput = out;
    }
    log("Starting conversion: ffmpeg -i \"" + m_inFile + "\" " + m_args.join(' ') + " \"" + out
        + "\"");

    // Without a converter the wait below would never see an end.
    const QString program = Tools::find("ffmpeg");
    if (program.isEmpty()) {
        const QString msg = "FFmpeg could not be found. Please install ffmpeg.";
        finish(false, out, msg, msg);
        return;
    }
    QProcess ffmpeg;
    ffmpeg.setReadChannel(QProcess::StandardError);
    // No question ever waits for an answer; the file it writes over is the
    // one claimed above.
    ffmpeg.setStandardInputFile(QProcess::nullDevice());
    Tools::start(ffmpeg, program, QStringList{"-nostdin", "-y", "-i", m_inFile} + m_args + QStringList{out},
                 QIODevice::ReadOnly);
    if (!ffmpeg.waitForStarted(30000)) {
        const QString msg = "FFmpeg could not be started: " + ffmpeg.errorString();
        finish(false, out, msg, msg);
        return;
    }
    emit startConversion(out.mid(out.lastIndexOf('/') + 1));

    // ffmpeg ends each progress record with a carriage return; a record cut
    // by a read waits for its end in the next one.
    QString pending;
    // The last text read, so that a last line that came with an earlier read,
    // or half with it, is still whole.
    QString tail;
    // What ffmpeg says of its input before it converts, until it has named
    // the duration (for jobs that were not probed first).
    QString header;
    bool durationTold = false;
    const auto noteDuration = [&](const QString &text) {
        if (durationTold)
            return;
        header = (header + text).right(pendingLimit);
        const int at = int(header.indexOf("Duration: "));
        if (at >= 0 && header.size() >= at + 18) {
            durationTold = true;
            emit inputDuration(FileInfoThread::durationField(header));
        }
    };
    QElapsedTimer quiet;
    quiet.start();
    qint64 outSize = -1;
    bool quitOk = false;
    bool hung = false;
    for (;;) {
        ffmpeg.waitForFinished(1000);
        if (!m_running)
            break;
        if (ffmpeg.state() == QProcess::NotRunning) {
            quitOk = ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
            break;
        }
        const QByteArray bytes = ffmpeg.readAllStandardError();
        // Presets may silence ffmpeg's report; a growing output still counts
        // as work.
        const qint64 size = FileNames::size(out);
        if (bytes.isEmpty() && size == outSize) {
            if (quiet.elapsed() > m_silenceLimitMs) {
                hung = true;
                break;
            }
            continue;
        }
        quiet.restart();
        outSize = size;
        if (bytes.isEmpty())
            continue;
        const QString chunk = Tools::toolText(bytes);
        log(chunk);
        tail = (tail + chunk).right(tailChars);
        noteDuration(chunk);
        const int seconds = takeProgress(pending, chunk);
        if (seconds >= 0)
            emit conversionProgress(seconds);
    }

    if (!m_running) {
        ffmpeg.kill();
        ffmpeg.waitForFinished(5000);
        cancel(out);
        return;
    }

    QString errorMsg;
    QString detail;
    if (hung) {
        ffmpeg.kill();
        ffmpeg.waitForFinished(5000);
        errorMsg = detail = "FFmpeg stopped responding and was ended.";
    } else if (!quitOk) {
        const QString rest = Tools::toolText(ffmpeg.readAllStandardError()).trimmed();
        noteDuration(rest);
        detail = rest;
        errorMsg = lastLine(tail + rest);
        if (errorMsg.isEmpty()) {
            errorMsg = ffmpeg.exitStatus() == QProcess::CrashExit
                           ? QString("FFmpeg ended unexpectedly.")
                           : "FFmpeg failed with exit code " + QString::number(ffmpeg.exitCode())
                                 + ".";
        }
    }
    ffmpeg.close();
    finish(quitOk, out, errorMsg, detail);
}
