#include "app/droppablewidget.h"

#include "platform/filenames.h"
#include "platform/prompts.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

DroppableWidget::DroppableWidget(QWidget *parent)
    : QWidget(parent)
    , m_extensions{"3g2", "3gp",  "aa",   "aac",  "aax",  "aif",  "aifc", "aiff", "amr",  "avi",
                   "cda", "divx", "f4a",  "f4b",  "f4p",  "f4v",  "flac", "flv",  "m1a",  "m1v",
                   "m2a", "m2ts", "m4a",  "m4b",  "m4p",  "m4r",  "m4v",  "mk3d", "mka",  "mkv",
                   "mov", "mp1",  "mp2",  "mp3",  "mp4",  "mpa",  "mpeg", "mpg",  "mpv",  "mts",
                   "oga", "ogg",  "ogv",  "ogx",  "qcp",  "qt",   "ra",   "ram",  "rm",   "spx",
                   "swf", "vob",  "wav",  "webm", "wma",  "wmv",  "xvid"}
{
    setGeometry(400, 32, 390, 510);
    setAcceptDrops(true);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setMouseTracking(true);
    show();
}

void DroppableWidget::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void DroppableWidget::dragEnterEvent(QDragEnterEvent *event)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        const QString suffix = QFileInfo(url.toString()).suffix().toLower();
        if (m_extensions.contains(suffix)) {
            event->acceptProposedAction();
            return;
        }
    }
}

void DroppableWidget::dragLeaveEvent(QDragLeaveEvent *)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

namespace {

// The file a URL names. Its escapes hold the name's bytes, which
// toLocalFile() can only read as UTF-8.
QString localPath(const QUrl &url)
{
    if (!url.isLocalFile() || !url.host().isEmpty())
        return url.toLocalFile();
    return FileNames::decode(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

} // namespace

void DroppableWidget::dropEvent(QDropEvent *event)
{
    QStringList files;
    bool cdTrack = false;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        const QString path = localPath(url);
        if (path.isEmpty() || !FileNames::exists(path))
            continue;
        const int dot = path.lastIndexOf('.');
        if (dot < 0)
            continue;
        if (path.mid(dot) == ".cda") {
            cdTrack = true;
            continue;
        }
        if (m_extensions.contains(path.mid(dot + 1).toLower()))
            files << QDir::toNativeSeparators(path);
    }
    emit fileDropped(files);
    if (cdTrack)
        Prompts::warning("Audio CD Tracks cannot be dragged in.\n\nPlease use the CD button in the Add tab.",
                         this, "CDA File Detected");
    event->acceptProposedAction();
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}
