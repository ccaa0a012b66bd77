#include "app/mainwindow.h"
#include "pagedriver.h"
#include "support/testsupport.h"

#include <QDir>
#include <QProcess>

using namespace PageDriver;

// Five rows: complete, converting, failed, waiting and still loading.
static const char *rowsScript = R"js(
    var rows = [["Holiday in Lisbon.mkv", "00:04:12", "h264 (High)", "1280x720", "aac", "%1"],
                ["Interview with the band.mp4", "00:12:40", "h264 (Main)", "640x360", "aac", "%2"],
                ["Podcast episode 12.mp3", "00:48:03", "", "", "mp3", ""],
                ["Concert.avi", "01:02:09", "mpeg4 (Simple Profile)", "720x576", "aac", "%3"],
                ["Birthday party.mov"]]
    rows.forEach(r => mediaList.appendRow("/home/user/Videos/" + r[0], "file", ""))
    rows.slice(0, 4).forEach(r => mediaList.updateFile([r[0], "/home/user/Videos/", r[0].replace(/\..*/, ""),
                                                        r[1], r[5]], r[2] ? [r[2], "yuv420p", r[3]] : [], [r[4]]));
    ["complete", "45%", "error"].forEach((s, i) => mediaList.mediaListModel.setProperty(i, "currentStatus", s))
    mediaList.mediaListModel.setProperty(2, "errorMsg", "Unknown encoder 'libfoo'")
)js";

// Renders the window in the states a user sees, for a look and for the README.
class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void render_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("state");
        for (const QSize size : {QSize(800, 552), QSize(1000, 700)}) {
            for (const char *state : {"add", "devices", "presets", "convert"})
                QTest::addRow("%s-%dx%d", state, size.width(), size.height()) << size << QString(state);
        }
    }

    void render()
    {
        QFETCH(QSize, size);
        QFETCH(QString, state);
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow window;
        window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Small real pictures for the rows, as the probe would leave them.
        QDir().mkpath(product.temp());
        QStringList pictures;
        for (const QString source : {"testsrc", "mandelbrot", "smptebars"}) {
            pictures << product.temp() + source + ".png";
            QProcess::execute("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i", source + "=s=88x66",
                                         "-frames:v", "1", pictures.last()});
        }
        eval(window, QString(rowsScript).arg(pictures[0], pictures[1], pictures[2]));
        if (state == "presets" || state == "convert")
            eval(window, "var f = mainwnd.getFormatModel(); formatTab.addIconsToOutputPage(f[0], f[1], false);"
                         "formatTab.choosePreset(0); formatTab.settingsPanel.visible = true");
        if (state == "convert")
            eval(window, "mainPage.conversionInProgress = true; mediaList.current = 1;"
                         "convertTab.currentOverallProgress = 40; convertTab.clearCompleted.opacity = 1");
        eval(window, QString("idTabs.current = %1").arg(state == "add" ? 0 : state == "convert" ? 2 : 1));
        // The overall bar moves over a second; everything else is quicker.
        QTest::qWait(state == "convert" ? 1100 : 300);
        QDir().mkpath(MFS_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(MFS_SCREENSHOT_DIR "/" + QString(QTest::currentDataTag()) + ".png"));
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
