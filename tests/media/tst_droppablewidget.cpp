#include "media/droppablewidget.h"
#include "support/testsupport.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

class TestDroppableWidget : public QObject
{
    Q_OBJECT

private slots:
    void drop_data()
    {
        QTest::addColumn<QStringList>("names");  // "!": a file that doesn't exist
        QTest::addColumn<bool>("entered");
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("cdMessage");
        auto row = [](const char *name, const QStringList &names, bool entered, const QStringList &dropped,
                      bool cdMessage = false) {
            QTest::newRow(name) << names << entered << dropped << cdMessage;
        };
        row("capital extension", {"a.MP3"}, true, {"a.MP3"});
        row("refused", {"b.txt", "README"}, false, {});
        row("refused among films, order kept", {"b.txt", "z.wav", "a b.c.mkv"}, true, {"z.wav", "a b.c.mkv"});
        row("CD tracks, one message", {"Track01.cda", "Track02.cda", "song.mp3"}, true, {"song.mp3"}, true);
        row("capital CDA is a file", {"TRACK01.CDA"}, true, {"TRACK01.CDA"});
        row("missing file", {"!gone.mp3"}, true, {});
        row("not local", {"http://example.com/a.mp3"}, true, {});
    }

    void drop()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, entered);
        QFETCH(QStringList, dropped);
        QFETCH(bool, cdMessage);
        QTemporaryDir dir;
        QList<QUrl> urls;
        for (const QString &name : names) {
            const QString path = dir.filePath(QString(name).remove('!'));
            QVERIFY(name.startsWith('!') || name.contains("://") || QFile(path).open(QIODevice::WriteOnly));
            urls << (name.contains("://") ? QUrl(name) : QUrl::fromLocalFile(path));
        }
        for (QString &name : dropped)
            name = QDir::toNativeSeparators(dir.filePath(name));
        QMimeData mime;
        mime.setUrls(urls);
        PromptRecorder prompts;
        DroppableWidget w;
        QSignalSpy fileDropped(&w, &DroppableWidget::fileDropped);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &enter);
        QCOMPARE(enter.isAccepted(), entered);
        QVERIFY(!w.testAttribute(Qt::WA_TransparentForMouseEvents));
        if (!entered) {
            // Qt sends a refused drag nothing more; the next move gives clicks back to the list.
            QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, {});
            QCoreApplication::sendEvent(&w, &move);
            QVERIFY(w.testAttribute(Qt::WA_TransparentForMouseEvents));
            return;
        }
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(w.testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(fileDropped.count(), 1);
        QCOMPARE(fileDropped.at(0).at(0).toStringList(), dropped);
        QCOMPARE(prompts.texts(), cdMessage ? QStringList{"Audio CD Tracks cannot be dragged in.\n\n"
                                                          "Please use the CD button in the Add tab."}
                                            : QStringList{});
    }
};

QTEST_MAIN(TestDroppableWidget)
#include "tst_droppablewidget.moc"
