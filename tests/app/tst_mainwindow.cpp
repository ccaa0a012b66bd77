#include "app/mainwindow.h"
#include "app/myapplication.h"
#include "media/conversionthread.h"
#include "app/droppablewidget.h"
#include "support/testsupport.h"

#include <QAction>
#include <QMenu>
#include <QQuickItem>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <signal.h>

namespace {

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << a->text();
    return texts;
}

bool processAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

qint64 readPid(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : -1;
}

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void maximizeAndRestore()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow window;
        const QRect normal(40, 50, 820, 560);
        window.setGeometry(normal);
        const QRect work = QGuiApplication::primaryScreen()->availableGeometry();

        window.showMaximized();
        QCOMPARE(window.geometry(), work);
        QCOMPARE(window.windowState(), Qt::WindowNoState);
        window.showNormal();
        QCOMPARE(window.geometry(), normal);

        // A second maximize remembers the work area, so restoring keeps it.
        window.showMaximized();
        window.showMaximized();
        window.showNormal();
        QCOMPARE(window.geometry(), work);
    }

    void dropTargetCoversTheJobList_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("target");
        QTest::newRow("minimum") << QSize(800, 552) << QSize(390, 510);
        QTest::newRow("larger") << QSize(1000, 700) << QSize(590, 658);
    }

    void dropTargetCoversTheJobList()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, target);
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        w.resize(900, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(window);
        QTRY_COMPARE(w.dropTarget()->size(), target);
        QCOMPARE(w.dropTarget()->pos(), QPoint(400, 32));
        QCOMPARE(w.rootObject()->width(), qreal(window.width()));
    }

    void titleStripMovesTheWindow_data()
    {
        QTest::addColumn<int>("pressY");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("left at 30") << 30 << int(Qt::LeftButton) << true;
        QTest::newRow("left at 0") << 0 << int(Qt::LeftButton) << true;
        QTest::newRow("left at 31") << 31 << int(Qt::LeftButton) << false;
        QTest::newRow("right at 10") << 10 << int(Qt::RightButton) << false;
    }

    void titleStripMovesTheWindow()
    {
        QFETCH(int, pressY);
        QFETCH(int, button);
        QFETCH(bool, moves);
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        w.move(100, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint start = w.pos();
        const QPoint press(300, pressY);
        QTest::mousePress(&w, Qt::MouseButton(button), {}, press);
        QTest::mouseMove(&w, press + QPoint(40, 25));
        QTest::mouseRelease(&w, Qt::MouseButton(button), {}, press + QPoint(40, 25));
        QCOMPARE(w.pos(), moves ? start + QPoint(40, 25) : start);
    }

    void menus()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QCOMPARE(menuTexts(w.fileMenu()),
                 (QStringList{"Add Audio File", "Add Video File", "", "Exit"}));
        QCOMPARE(menuTexts(w.helpMenu()), (QStringList{"About", "", "Manual", "Website", "",
                                                       "Check for Updates", "Report a Bug"}));

        w.showMenu(2, 10);
        w.showMenu(-1, 10);
        QVERIFY(!w.fileMenu()->isVisible() && !w.helpMenu()->isVisible());

        w.showMenu(1, 57);
        QVERIFY(w.helpMenu()->isVisible());
        QVERIFY(!w.fileMenu()->isVisible());
        QCOMPARE(w.helpMenu()->pos(), w.mapToGlobal(QPoint(57, 30)));
        QVERIFY(w.helpMenu()->activeAction() == nullptr);
        w.helpMenu()->hide();

        QSignalSpy audio(&w, &MainWindow::addAudioFile);
        QSignalSpy video(&w, &MainWindow::addVideoFile);
        w.fileMenu()->actions().at(0)->trigger();
        w.fileMenu()->actions().at(1)->trigger();
        QCOMPARE(audio.count(), 1);
        QCOMPARE(video.count(), 1);
    }

    void boxesAndDialogs()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        w.warning("Careful");
        prompts.answers << QMessageBox::Yes;
        QVERIFY(w.yesno("Sure?"));
        QVERIFY(!w.yesno("Closed without an answer?"));
        prompts.answers << QMessageBox::Yes;
        QVERIFY(MyApplication::confirmShutdown());
        QCOMPARE(prompts.boxes.size(), 4);
        QCOMPARE(prompts.boxes.at(0).title, QString("Warning"));
        QCOMPARE(prompts.boxes.at(1).title, QString("Confirmation Required"));
        QCOMPARE(prompts.boxes.at(1).buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompts.boxes.at(3).icon, QMessageBox::Warning);
        QCOMPARE(prompts.boxes.at(3).text,
                 QString("Your conversion has been cancelled. Are you sure you want to shut down?"));

        // Dialog answers come back native and absolute; cancel gives nothing.
        prompts.fileAnswers << QStringList{"/music//a.mp3", "/music/b.flac"};
        QCOMPARE(w.openInputFile("Add Audio Files", "Audio (*.mp3)"),
                 (QStringList{"/music/a.mp3", "/music/b.flac"}));
        QCOMPARE(w.openOutputFolder(), QString());
        QCOMPARE(prompts.dialogCaptions, (QStringList{"Add Audio Files", "Open Output Folder"}));
    }

    void foldersAndLog()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        QVERIFY(w.getTempFolder().endsWith('/'));
        QVERIFY(w.getMusicFolder().endsWith('/'));
        QVERIFY(w.getVideoFolder().endsWith('/'));
        QCOMPARE(w.property("separator").toString(), QString("/"));

        w.makeDir(product.temp() + "123/a/b");
        QVERIFY(QDir(product.temp() + "123/a/b").exists());

        QFile old(product.product() + "/log.txt");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier\n");
        old.close();
        w.log("first");
        w.log("  second  ");
        QFile log(product.product() + "/log.txt");
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), QByteArray("earlier\nfirst\nsecond\n"));
    }

    void closeWhileIdleEmptiesTheTempFolder()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow w;
        w.show();
        touch(product.temp() + "1.png");
        touch(product.temp() + "1371000000/01.wav");
        touch(product.temp() + ".keep");
        w.close();
        QVERIFY(prompts.boxes.isEmpty());
        QVERIFY(!w.isVisible());
        QCOMPARE(QDir(product.temp()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{".keep"});
    }

    void closeWhileConverting_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("answered No") << false;
        QTest::newRow("answered Yes") << true;
    }

    void closeWhileConverting()
    {
        QFETCH(bool, confirm);
        ScratchProduct product;
        PromptRecorder prompts;
        PathPrefix path(testData("stand-ins/slow"));
        const QString pidFile = product.appData() + "/ffmpeg.pid";
        qputenv("MFS_FAKE_PIDFILE", pidFile.toLocal8Bit());

        MainWindow w;
        w.show();
        QSignalSpy started(&w, &MainWindow::startConversion);
        QSignalSpy cancelled(&w, &MainWindow::conversionCancelled);
        QSignalSpy completed(&w, &MainWindow::conversionComplete);
        touch(product.temp() + "thumb.png");
        w.makeDir(product.temp() + "42");
        w.startNewConversion("/in/a.wav", "-vn -c:a pcm_s16le", "", product.temp() + "42/a", "wav");
        QTRY_COMPARE(started.count(), 1);
        QTRY_VERIFY(processAlive(readPid(pidFile)));

        prompts.answers << (confirm ? QMessageBox::Yes : QMessageBox::No);
        w.close();
        QCOMPARE(prompts.texts(),
                 QStringList{"Conversions will be cancelled - are you sure you want to close?"});
        if (!confirm) {
            QVERIFY(w.isVisible());
            QVERIFY(w.runner()->isRunning());
            QVERIFY(QFileInfo::exists(product.temp() + "thumb.png"));
            QVERIFY(QFileInfo::exists(product.temp() + "42/a.wav"));
            w.stopConversion();
        } else {
            QVERIFY(!w.isVisible());
            QVERIFY(!QFileInfo::exists(product.temp() + "thumb.png"));
            QVERIFY(!QFileInfo::exists(product.temp() + "42/a.wav"));
        }
        QTRY_COMPARE_WITH_TIMEOUT(cancelled.count(), 1, 3000);
        QCOMPARE(completed.count(), 0);
        QTRY_VERIFY(!processAlive(readPid(pidFile)));
        qunsetenv("MFS_FAKE_PIDFILE");
    }

    void converterDoesNotOutliveTheWindow()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        PathPrefix path(testData("stand-ins/slow"));
        const QString pidFile = product.appData() + "/ffmpeg.pid";
        qputenv("MFS_FAKE_PIDFILE", pidFile.toLocal8Bit());
        qint64 pid = -1;
        {
            MainWindow w;
            QSignalSpy started(&w, &MainWindow::startConversion);
            w.startNewConversion("/in/a.wav", "-vn", "", product.appData() + "/a", "wav");
            QTRY_COMPARE(started.count(), 1);
            QTRY_VERIFY(processAlive(pid = readPid(pidFile)));
        }
        QTRY_VERIFY(!processAlive(pid));
        qunsetenv("MFS_FAKE_PIDFILE");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
