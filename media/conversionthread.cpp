#include "media/conversionthread.h"

#include "platform/folders.h"
#include "platform/textlog.h"
#include "platform/tools.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

ConversionThread::ConversionThread(QObject *parent)
    : QThread(parent)
{
}

void ConversionThread::setParameters(const QString &inFile, const QStringList &args,
                                     const QString &outFile, const QString &outExt)
{
    m_inFile = inFile.trimmed();
    m_args.clear();
    for (const QString &a : args)
        m_args << a.trimmed();
    QMutexLocker lock(&m_outLock);
    m_outFile = outFile.trimmed();
    m_outExt = outExt;
}

QString ConversionThread::outputPath() const
{
    QMutexLocker lock(&m_outLock);
    return m_outFile;
}

QString ConversionThread::freeOutputName(const QString &path, const QString &ext)
{
    QString name = path + "." + ext;
    if (!QFileInfo::exists(name))
        return name;
    name = path + " (New)." + ext;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = path + " (New)(" + QString::number(n) + ")." + ext;
    return name;
}

int ConversionThread::progressSeconds(const QString &records)
{
    const int at = records.indexOf("time=");
    if (at < 0)
        return -1;
    const QString t = records.mid(at + 5, 11);
    auto field = [&t](int from) {
        bool ok = false;
        const int v = t.mid(from, 2).toInt(&ok);
        return ok && t.mid(from, 2).size() == 2 ? v : -1;
    };
    const int h = field(0), m = field(3), s = field(6);
    if (h < 0 || m < 0 || m > 59 || s < 0 || s > 59 || t.at(2) != ':' || t.at(5) != ':')
        return 0;
    return h * 3600 + m * 60 + s;
}

void ConversionThread::log(const QString &text) const
{
    appendLogLine(Folders::tempFolder() + "log.txt", text);
}

void ConversionThread::run()
{
    m_running = true;
    QString out;
    {
        QMutexLocker lock(&m_outLock);
        m_outFile = freeOutputName(m_outFile, m_outExt);
        out = m_outFile;
    }
    log("Starting conversion: ffmpeg -i \"" + m_inFile + "\" " + m_args.join(' ') + " \"" + out
        + "\"");

    QProcess ffmpeg;
    const QString program = Tools::find("ffmpeg");
    if (program.isEmpty()) {
        const QString msg = "FFmpeg could not be found. Please install ffmpeg.";
        log("Conversion finished: quitOK=false");
        log(msg);
        emit conversionComplete(false, out, msg);
        return;
    }
    ffmpeg.setProgram(program);
    ffmpeg.setArguments(QStringList{"-i", m_inFile} + m_args + QStringList{out});
    ffmpeg.setReadChannel(QProcess::StandardError);
    ffmpeg.start(QIODevice::ReadWrite);
    if (!ffmpeg.waitForStarted(30000)) {
        const QString msg = "FFmpeg could not be started: " + ffmpeg.errorString();
        log("Conversion finished: quitOK=false");
        log(msg);
        emit conversionComplete(false, out, msg);
        return;
    }
    emit startConversion(QFileInfo(out).fileName());

    // ffmpeg ends each progress record with a carriage return; a record cut
    // by a read waits for its end in the next one.
    QString pending;
    QString lastRead;
    QElapsedTimer silence;
    silence.start();
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
        if (bytes.isEmpty()) {
            if (silence.elapsed() > silenceLimitMs) {
                hung = true;
                break;
            }
            continue;
        }
        silence.restart();
        const QString chunk = Tools::toolText(bytes);
        log(chunk);
        lastRead = chunk;
        pending += chunk;
        const int end = std::max(pending.lastIndexOf('\r'), pending.lastIndexOf('\n'));
        if (end < 0)
            continue;
        const int seconds = progressSeconds(pending.left(end + 1));
        pending = pending.mid(end + 1);
        if (seconds >= 0)
            emit conversionProgress(seconds);
    }

    if (!m_running) {
        ffmpeg.kill();
        ffmpeg.waitForFinished(5000);
        emit conversionCancelled();
        return;
    }

    QString errorMsg;
    if (hung) {
        ffmpeg.kill();
        ffmpeg.waitForFinished(5000);
        log("Conversion finished: quitOK=false");
        errorMsg = "FFmpeg stopped responding and was ended.";
        log(errorMsg);
    } else {
        log(QString("Conversion finished: quitOK=") + (quitOk ? "true" : "false"));
        if (!quitOk) {
            const QString rest = Tools::toolText(ffmpeg.readAllStandardError()).trimmed();
            log(rest);
            // The last line may have come with an earlier read.
            const QString tail = rest.isEmpty() ? lastRead.trimmed() : rest;
            errorMsg = tail.mid(tail.lastIndexOf('\n') + 1).trimmed();
        }
    }
    ffmpeg.close();
    m_running = false;
    emit conversionComplete(quitOk, out, errorMsg);
}
