#include "media/droppablewidget.h"
#include "support/testsupport.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

namespace {

QMimeData *mimeFor(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << (p.contains("://") ? QUrl(p) : QUrl::fromLocalFile(p));
    auto *mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

bool transparent(const QWidget &w)
{
    return w.testAttribute(Qt::WA_TransparentForMouseEvents);
}

} // namespace

class TestDroppableWidget : public QObject
{
    Q_OBJECT

private slots:
    void dragEnter_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("capital extension") << QStringList{"a.MP3"} << true;
        QTest::newRow("not a media file") << QStringList{"b.txt"} << false;
        QTest::newRow("one of several") << QStringList{"b.txt", "c.mkv"} << true;
        QTest::newRow("CD track") << QStringList{"Track01.cda"} << true;
        QTest::newRow("no dot in the name") << QStringList{"dir.mp3/README"} << false;
        QTest::newRow("nothing") << QStringList{} << false;
    }

    void dragEnter()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, accepted);
        DroppableWidget w;
        QCOMPARE(w.acceptedExtensions().size(), 57);
        QVERIFY(transparent(w));
        QScopedPointer<QMimeData> mime(mimeFor(names));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.data(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QVERIFY(!transparent(w));
        // Qt sends nothing more to a widget that refused the drag.
        if (!accepted)
            return;
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(&w, &leave);
        QVERIFY(transparent(w));
    }

    void drop_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("cdBoxes");
        QTest::newRow("capital extension") << QStringList{"a.MP3"} << QStringList{"a.MP3"} << 0;
        QTest::newRow("refused beside a song") << QStringList{"b.txt", "c.mkv"} << QStringList{"c.mkv"} << 0;
        QTest::newRow("CD track with a song") << QStringList{"Track01.cda", "song.mp3"}
                                              << QStringList{"song.mp3"} << 1;
        QTest::newRow("two CD tracks, one message") << QStringList{"Track01.cda", "Track02.cda"}
                                                    << QStringList{} << 1;
        QTest::newRow("capital CDA is a file") << QStringList{"TRACK01.CDA"} << QStringList{"TRACK01.CDA"} << 0;
        QTest::newRow("no dot in the name") << QStringList{"my.dir/README", "a.mp3"} << QStringList{"a.mp3"} << 0;
        QTest::newRow("missing file: empty list") << QStringList{"!gone.mp3"} << QStringList{} << 0;
        QTest::newRow("not local") << QStringList{"http://example.com/a.mp3"} << QStringList{} << 0;
        QTest::newRow("order kept") << QStringList{"z.wav", "a b.c.mkv"} << QStringList{"z.wav", "a b.c.mkv"} << 0;
    }

    void drop()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        QFETCH(int, cdBoxes);
        QTemporaryDir dir;
        QStringList paths;
        for (const QString &name : names) {
            if (name.contains("://")) {
                paths << name;
                continue;
            }
            const QString path = dir.filePath(QString(name).remove('!'));
            QDir().mkpath(QFileInfo(path).absolutePath());
            if (!name.startsWith('!'))
                QVERIFY(QFile(path).open(QIODevice::WriteOnly));
            paths << path;
        }
        for (QString &e : expected)
            e = QDir::toNativeSeparators(dir.filePath(e));

        PromptRecorder prompts;
        DroppableWidget w;
        QSignalSpy dropped(&w, &DroppableWidget::fileDropped);
        QScopedPointer<QMimeData> mime(mimeFor(paths));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.data(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.data(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &drop);

        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toStringList(), expected);
        QCOMPARE(prompts.boxes.size(), cdBoxes);
        if (cdBoxes) {
            QCOMPARE(prompts.boxes.at(0).title, QString("CDA File Detected"));
            QCOMPARE(prompts.boxes.at(0).text, QString("Audio CD Tracks cannot be dragged in.\n\n"
                                                       "Please use the CD button in the Add tab."));
            QCOMPARE(prompts.boxes.at(0).parent, &w);
        }
        QVERIFY(drop.isAccepted());
        QVERIFY(transparent(w));
    }

    void mouseMoveRestoresTransparency()
    {
        DroppableWidget w;
        w.setAttribute(Qt::WA_TransparentForMouseEvents, false);
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton,
                         Qt::NoButton, {});
        QCoreApplication::sendEvent(&w, &move);
        QVERIFY(transparent(w));
    }
};

QTEST_MAIN(TestDroppableWidget)
#include "tst_droppablewidget.moc"
