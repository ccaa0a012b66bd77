// The real window, backend, tools and ffmpeg, driven by clicks on the page.
#include "app/mainwindow.h"
#include "app/selectcd.h"
#include "app/selectdrive.h"
#include "app/selectdvd.h"
#include "app/startup.h"
#include "cd/cdimage.h"
#include "disc/drives.h"
#include "pagedriver.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QQuickWindow>
#include <QPushButton>

using namespace PageDriver;

class TestEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir work;

    // One second (or `seconds`) of each lavfi source, one stream each.
    QString input(const QString &name, const QStringList &sources, const QString &seconds = "1")
    {
        const QStringList maps{"-map", "0", "-map", "1"};
        lavfi(work.filePath(name), sources, maps.mid(0, 2 * sources.size()) + QStringList{"-t", seconds});
        return work.filePath(name);
    }

private slots:
    // One session by clicks. Two dropped clips become a DVD image; the DVD tile
    // reads it back (one title, as long as the clips), the CD tile rips a track
    // from an image, and a second Convert makes MP3s of the new rows only, into
    // the video and music folders, marking the clip without sound and going on.
    void session()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        PathPrefix bin(MFS_TEST_BIN);
        qputenv("HOME", QFile::encodeName(work.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.filePath("config")));
        QDir().mkpath(work.filePath("Videos"));
        const QString iso = work.filePath("Trip.iso");
        prompts.saveAnswers << work.filePath("Trip");
        Drives::setLister([] { return QStringList{"/dev/sr99"}; });
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString picture = "testsrc=size=160x120:rate=25";
        handOverCommandLine(window, {"mediaforgestudio", input("a.mkv", {picture, "sine"}),
                                     input("b.mkv", {picture, "sine"}, "2")});
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "loading"), QStringList({"false", "false"}), 20000);
        QCOMPARE(column(window, "newFileName") + column(window, "wxh").replaceInStrings(QRegularExpression(" .*"), ""),
                 QStringList({"a", "b", "160x120", "160x120"}));
        QVERIFY(clickThrough(window, {"tabHeader1", "formatTile:DVD", "outputTile:PAL 16:9", "formatNext"}));
        auto *drives = window.findChild<SelectDrive *>();
        whenShown(drives, [&] {
            drives->driveList()->setCurrentIndex(drives->driveList()->findText("Image file"));
            drives->titleEdit()->setText("Our trip");
            drives->okButton()->click();
        });
        QVERIFY(click(window, "convertButton"));
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus"), QStringList(3, "complete"), 60000);
        QCOMPARE(column(window, "fileName").last() + "/" + column(window, "newFileName").last() + "/"
                     + column(window, "duration").last(),
                 iso + "/Image written: Trip.iso/Verified");

        Drives::setLister([&] { return QStringList{iso}; });
        auto *dvd = window.findChild<SelectDVD *>();
        QStringList titles;
        whenShown(dvd, [&] {
            titles = tickedRows(dvd->itemTree());
            QTest::mouseClick(dvd->okButton(), Qt::LeftButton);
        });
        QVERIFY(clickThrough(window, {"tabHeader0", "addTile:DVD"}));
        QCOMPARE(titles, QStringList{"x Title 1 0:03"});
        const CdImage cd = makeCdImage(work.path(), "album", {150});
        Drives::setLister([&] { return QStringList{cd.cue}; });
        auto *cdDialog = window.findChild<SelectCD *>();
        whenShown(cdDialog, [&] { QTest::mouseClick(cdDialog->okButton(), Qt::LeftButton); });
        QVERIFY(click(window, "addTile:CD"));
        Drives::setLister({});
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "source").mid(3), QStringList({"dvd", "cd"}), 20000);
        handOverCommandLine(window, {"mediaforgestudio", input("mute.mkv", {picture})});
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "loading").count("false"), 6, 20000);
        QCOMPARE(column(window, "duration")[3], "00:00:03");
        QVERIFY(streams(column(window, "fileName")[3]).contains("mpeg2video")); // the preset's, from the image
        QVERIFY(clickThrough(window, {"tabHeader1", "formatBack", "formatTile:MP3", "outputTile:128 kbps",
                                      "formatNext", "convertButton"}));
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus").mid(3),
                                  QStringList({"complete", "complete", "error"}), 30000);
        QVERIFY(!column(window, "errorMsg")[5].isEmpty());
        const QStringList albums = QDir(work.filePath("Music")).entryList({"Album *"}, QDir::Dirs);
        QCOMPARE(albums.size(), 1);
        QCOMPARE(column(window, "finalOutput").mid(3, 2),
                 QStringList({work.filePath("Videos/OUR_TRIP_Title_1.mp3"),
                              work.filePath("Music/" + albums.first() + "/Track 1.mp3")}));
        for (const QString &output : column(window, "finalOutput").mid(3, 2))
            QVERIFY2(streams(output).startsWith("mp3 "), qPrintable(output));
        // Nothing converted twice, no partial output left behind.
        QCOMPARE(QDir(work.path()).entryList({"*.mp3"}), QStringList());
        QCOMPARE(prompts.texts(), QStringList());
    }

    // By keys alone: two files on the command line, Ctrl+2, Return on the
    // first format, Return on its first preset, Ctrl+Return. Both outputs
    // land beside their inputs, as the Convert tab said they would. On the
    // way, a menu and a dialog opened and closed by keys.
    void keysAlone()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        qputenv("HOME", QFile::encodeName(work.path()));
        QTemporaryDir inputs;
        const QString picture = "testsrc=size=160x120:rate=25";
        const QStringList files{inputs.filePath("one.mkv"), inputs.filePath("two.mkv")};
        for (const QString &file : files)
            QVERIFY(lavfi(file, {picture, "sine"}, {"-map", "0", "-map", "1", "-t", "2"}));
        MainWindow window;
        // The README's pictures, when MFS_SCREENSHOTS names their folder.
        const QString pictures = qEnvironmentVariable("MFS_SCREENSHOTS");
        const auto save = [&](const QString &name) {
            QSignalSpy drawn(window.quickWindow(), &QQuickWindow::afterRendering);
            window.quickWindow()->update();
            QVERIFY(pictures.isEmpty() || (drawn.wait(5000) && window.grab().save(pictures + "/" + name)));
        };
        dressWindow(window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::mouseMove(&window, QPoint(600, window.height() - 4)); // no tooltip in the pictures
        handOverCommandLine(window, QStringList{"mediaforgestudio"} + files);
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "loading"), QStringList({"false", "false"}), 20000);
        // Alt+F opens the File menu; Escape closes it, and a dialog as Cancel:
        // End and Left reach the CD tile, Return opens its dialog.
        QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(window.fileMenu()->isVisible());
        QTest::keyClick(window.fileMenu(), Qt::Key_Escape);
        QTRY_VERIFY(!window.fileMenu()->isVisible());
        Drives::setLister([] { return QStringList{}; });
        auto *cd = window.findChild<SelectCD *>();
        whenShown(cd, [cd] { QTest::keyClick(cd, Qt::Key_Escape); });
        QTest::keyClick(&window, Qt::Key_End);
        QTest::keyClick(&window, Qt::Key_Left);
        QTest::keyClick(&window, Qt::Key_Return);
        Drives::setLister({});
        QVERIFY(!cd->isVisible() && cd->result() == QDialog::Rejected);
        // As a window manager gives the window back its focus.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Tab goes on in the page, not out of the widget.
        QTest::keyClick(&window, Qt::Key_Tab);
        QCOMPARE(window.quickWindow()->activeFocusItem()->objectName(), "addNext");
        QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
        save("window-keyboard.png");
        QTest::keyClick(&window, Qt::Key_Return);
        QTest::keyClick(&window, Qt::Key_Return);
        QCOMPARE(eval(window, "return jobs.outputDescription").toString(), "Output: beside each input");
        QTest::keyClick(&window, Qt::Key_3, Qt::ControlModifier);
        save("window-output.png");
        QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus"), QStringList(2, "complete"), 60000);
        for (const QString &output : column(window, "finalOutput"))
            QVERIFY2(QFileInfo(output).dir() == QDir(inputs.path()) && streams(output).contains("h264"),
                     qPrintable(output));
        QCOMPARE(prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
