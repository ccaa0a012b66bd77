#include "app/mainwindow.h"
#include "pagedriver.h"
#include "support/testsupport.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QProcess>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QtTest>

using namespace PageDriver;

namespace {

// Runs a script in the page's own scope, where its ids are known.
QVariant eval(QQuickWidget &window, const QString &script)
{
    QQmlExpression expression(qmlContext(window.rootObject()), window.rootObject(),
                              "(function () {" + script + "})()");
    const QVariant result = expression.evaluate();
    if (expression.hasError())
        qWarning() << expression.error();
    return result;
}

// A small real picture for a row, as the probe would leave it.
QString makeThumbnail(const QString &folder, const QString &name, const QString &source)
{
    const QString path = folder + name + ".png";
    QProcess::execute("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i", source + "=s=88x66",
                                 "-frames:v", "1", path});
    return path;
}

// Five rows: complete, converting, failed, waiting and still loading.
const char *rowsScript = R"js(
    var rows = [["/home/user/Videos/Holiday in Lisbon.mkv", "00:04:12", ["h264 (High)", "yuv420p", "1280x720"], "%1"],
                ["/home/user/Videos/Interview with the band.mp4", "00:12:40", ["h264 (Main)", "yuv420p", "640x360"], "%2"],
                ["/home/user/Music/Podcast episode 12.mp3", "00:48:03", [], ""],
                ["/home/user/Videos/Concert.avi", "01:02:09", ["mpeg4 (Simple Profile)", "yuv420p", "720x576"], "%3"],
                ["/home/user/Videos/Birthday party.mov"]]
    for (var i = 0; i < rows.length; ++i)
        mediaList.appendRow(rows[i][0], "file", "")
    for (var j = 0; j < 4; ++j) {
        var path = rows[j][0], slash = path.lastIndexOf("/"), file = path.substring(slash + 1)
        mediaList.updateFile([file, path.substring(0, slash + 1), file.substring(0, file.lastIndexOf(".")),
                              rows[j][1], rows[j][3]], rows[j][2], [j == 2 ? "mp3" : "aac"])
    }
    var model = mediaList.mediaListModel
    model.setProperty(0, "currentStatus", "complete")
    model.setProperty(1, "currentStatus", "45%")
    model.setProperty(2, "currentStatus", "error")
    model.setProperty(2, "errorMsg", "Unknown encoder 'libfoo'")
)js";

} // namespace

// Renders the window in the states a user sees, for a look and for the README.
class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void render_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("presets");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("name");
        for (const QSize &size : {QSize(800, 552), QSize(1000, 700)}) {
            const QString s = QString("%1x%2").arg(size.width()).arg(size.height());
            QTest::newRow(qPrintable("add " + s)) << size << 0 << false << false << "add-" + s;
            QTest::newRow(qPrintable("devices " + s)) << size << 1 << false << false << "devices-" + s;
            QTest::newRow(qPrintable("presets " + s)) << size << 1 << true << false << "presets-" + s;
            QTest::newRow(qPrintable("convert " + s)) << size << 2 << true << true << "convert-" + s;
        }
    }

    void render()
    {
        QFETCH(QSize, size);
        QFETCH(int, tab);
        QFETCH(bool, presets);
        QFETCH(bool, running);
        QFETCH(QString, name);

        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow window;
        window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QDir().mkpath(product.temp());
        eval(window, QString(rowsScript)
                         .arg(makeThumbnail(product.temp(), "1", "testsrc"),
                              makeThumbnail(product.temp(), "2", "mandelbrot"),
                              makeThumbnail(product.temp(), "3", "smptebars")));
        if (presets) {
            const QStringList formats = window.getFormatModel();
            QVERIFY(formats.size() >= 7);
            eval(window, QString("formatTab.addIconsToOutputPage('%1', '%2', false); formatTab.choosePreset(0);"
                                 "formatTab.settingsPanel.visible = true").arg(formats[0], formats[1]));
        }
        if (running)
            eval(window, "mainPage.conversionInProgress = true; mediaList.current = 1;"
                         "convertTab.currentOverallProgress = 40; convertTab.clearCompleted.opacity = 1");
        find(window, "idTabs")->setProperty("current", tab);
        // The overall bar moves over a second; everything else is quicker.
        QTest::qWait(running ? 1100 : 300);

        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.size(), size);
        QCOMPARE(jobs(window)->rowCount(), 5);
        const QString folder = QStringLiteral(MFS_SCREENSHOT_DIR);
        QDir().mkpath(folder);
        QVERIFY(shot.save(folder + "/" + name + ".png"));
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
