#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/droppablewidget.h"
#include "support/testsupport.h"

#include <QSignalSpy>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void commandLineFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("emitted");

        const QString prog = "/opt/mfs/mediaforgestudio";
        QTest::newRow("program only: nothing emitted") << QStringList{prog} << QStringList() << 0;
        QTest::newRow("accepted and refused")
            << QStringList{prog, "/m/a.mp3", "/m/b.txt"} << QStringList{"/m/a.mp3"} << 1;
        QTest::newRow("capitals are not accepted")
            << QStringList{prog, "/m/A.MP3"} << QStringList() << 1;
        QTest::newRow("only refused: one empty drop")
            << QStringList{prog, "/m/notes.txt"} << QStringList() << 1;
        QTest::newRow("several dots, last counts")
            << QStringList{prog, "/m/a.b.mkv", "/m/c.mkv.part"} << QStringList{"/m/a.b.mkv"} << 1;
        QTest::newRow("name without dot") << QStringList{prog, "/m/mp3"} << QStringList() << 1;
        QTest::newRow("order kept")
            << QStringList{prog, "/m/z.wav", "/m/a.flac"} << QStringList{"/m/z.wav", "/m/a.flac"}
            << 1;
    }

    void commandLineFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        QFETCH(int, emitted);

        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow window;
        QSignalSpy dropped(&window, &MainWindow::fileDropped);
        handOverCommandLine(window, arguments);
        QCOMPARE(dropped.count(), emitted);
        if (emitted)
            QCOMPARE(dropped.first().first().toStringList(), expected);
    }

    void relativePathsBecomeAbsolute()
    {
        const QStringList accepted = DroppableWidget().acceptedExtensions();
        const QStringList files = acceptedCommandLineFiles({"prog", "song.mp3"}, accepted);
        QCOMPARE(files, QStringList{QDir::current().absoluteFilePath("song.mp3")});
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
