#include "app/mainwindow.h"
#include "app/selectdvd.h"
#include "disc/drives.h"
#include "dvdsupport.h"
#include "ui/pagedriver.h"

#include <QPushButton>
#include <QTreeWidget>

using namespace PageDriver;

// The real window, dialog, ripper and ffmpeg: a title ripped from the DVD
// tile becomes a "dvd" row with the title's length and converts.
class TestDvdWindow : public QObject
{
    Q_OBJECT

private slots:
    void ripsAndConverts()
    {
        TestDisc disc;
        QVERIFY(disc.build());
        ScratchProduct product;
        PromptRecorder prompts;
        PathPrefix bin(MFS_TEST_BIN);
        // Rows from a DVD go to the video folder: keep it in the test.
        QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        QDir().mkpath(home.filePath("Videos"));
        Drives::setLister([&] { return QStringList{disc.iso()}; });
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The tile's dialog is modal: answer it from inside its own loop.
        auto *dialog = window.findChild<SelectDVD *>();
        QString seen;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (!dialog->isVisible())
                return;
            answer.stop();
            seen = dialog->windowTitle() + ": " + QString::number(dialog->itemTree()->topLevelItemCount());
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        answer.start(50);
        QVERIFY(click(window, "addTile:DVD"));
        QCOMPARE(seen, "Rip from DVD: 3");
        Drives::setLister({});

        const QString row = "var r = mediaList.mediaListModel.get(0); return [mediaList.mediaListModel.count, "
                            "r.source, r.duration, r.origFileName, r.loading, r.currentStatus, r.finalOutput]";
        QTRY_COMPARE_WITH_TIMEOUT(eval(window, row).toStringList().mid(0, 5),
                                  QStringList({"1", "dvd", "00:00:20", "MOVIE_Title_2.vob", "false"}), 20000);
        QVERIFY(click(window, "tabHeader1"));
        for (const char *tile : {"formatTile:MP4", "outputTile:Low"}) {
            QTRY_VERIFY(shown(window, tile));
            QVERIFY(click(window, tile));
        }
        QVERIFY(click(window, "formatNext"));
        QVERIFY(click(window, "convertButton"));
        QTRY_COMPARE_WITH_TIMEOUT(eval(window, row).toStringList().value(5), "complete", 60000);
        const QString output = eval(window, row).toStringList().value(6);
        QVERIFY2(output.startsWith(home.filePath("Videos/MOVIE_Title_2")), qPrintable(output));
        QProcess probe;
        probe.start("ffprobe", {"-v", "error", "-show_entries", "stream=codec_name", "-of", "csv=p=0", output});
        QVERIFY(probe.waitForFinished(20000));
        QCOMPARE(QString(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), QStringList({"h264", "aac"}));
        QCOMPARE(prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestDvdWindow)
#include "tst_dvdwindow.moc"
