#include "media/probe.h"

#include "media/fileinfothread.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/tools.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace Probe {

namespace {

QString runTool(const QString &program, const QStringList &args, const std::atomic<bool> &quit, int waitMs)
{
    QProcess tool;
    // The file as named, by its very bytes.
    Tools::start(tool, program, args);
    tool.closeWriteChannel();
    // Short steps, so that a quit doesn't wait for a slow tool.
    QElapsedTimer clock;
    clock.start();
    while (tool.state() != QProcess::NotRunning && !quit && clock.elapsed() < waitMs)
        tool.waitForFinished(int(std::min<qint64>(100, waitMs - clock.elapsed())) + 1);
    if (tool.state() != QProcess::NotRunning) {
        // The answer so far is all we use; a stuck tool is not left behind.
        tool.kill();
        tool.waitForFinished(5000);
    }
    return Tools::toolText(tool.readAllStandardError());
}

// A new thumbnail file of our own: the seconds since 1970, repeated until
// the name is free.
QString claimThumbnail(const QString &folder)
{
    const QString stamp = QString::number(QDateTime::currentSecsSinceEpoch());
    QString name = stamp;
    for (int tries = 0; tries < 64; ++tries, name += stamp) {
        if (OwnFiles::claimFile(folder + name + ".png"))
            return folder + name + ".png";
    }
    return {};
}

QStringList thumbnailArgs(int seconds, const QString &input, const QString &thumb)
{
    return {"-ss", QString::number(seconds), "-i", input, "-y", "-f", "image2", "-frames:v", "1",
            "-s", "88x66", thumb};
}

} // namespace

Answer run(const QString &ffmpeg, const QString &path, const QString &thumbnailFolder,
           const std::atomic<bool> &quit, int waitMs)
{
    const QString sep = Folders::separator();
    const int slash = int(path.lastIndexOf(sep));
    const QString name = path.mid(slash + 1);
    const int dot = int(name.lastIndexOf('.'));

    QString thumb = thumbnailFolder.isEmpty() ? QString() : claimThumbnail(thumbnailFolder);
    const QString text = thumb.isEmpty() ? runTool(ffmpeg, {"-i", path}, quit, waitMs)
                                         : runTool(ffmpeg, thumbnailArgs(1, path, thumb), quit, waitMs);
    Answer answer;
    answer.fileInfo << name << path.left(slash + 1) << (dot < 0 ? name : name.left(dot))
                    << FileInfoThread::durationField(text);
    answer.video = FileInfoThread::streamFields(text, "Video:");
    answer.audio = FileInfoThread::streamFields(text, "Audio:");

    if (!thumb.isEmpty() && !answer.video.isEmpty()) {
        const int seconds = FileInfoThread::thumbnailSeconds(answer.fileInfo.at(3));
        if (seconds != 1 && !quit)
            runTool(ffmpeg, thumbnailArgs(seconds, path, thumb), quit, waitMs);
    }
    // Sound alone, or a picture that could not be taken: no thumbnail.
    if (!thumb.isEmpty() && (answer.video.isEmpty() || QFileInfo(thumb).size() <= 0)) {
        OwnFiles::remove(thumb);
        thumb.clear();
    }
    answer.fileInfo << thumb;
    return answer;
}

} // namespace Probe
