#include "app/mainwindow.h"
#include "pagedriver.h"
#include "support/testsupport.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QProcess>
#include <QQuickItem>
#include <QtTest>

using namespace PageDriver;

namespace {

QVariant call(QObject *object, const char *function, const QVariantList &args = {})
{
    QVariant result;
    bool ok = false;
    switch (args.size()) {
    case 0:
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result));
        break;
    case 2:
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result),
                                       Q_ARG(QVariant, args[0]), Q_ARG(QVariant, args[1]));
        break;
    case 3:
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result),
                                       Q_ARG(QVariant, args[0]), Q_ARG(QVariant, args[1]),
                                       Q_ARG(QVariant, args[2]));
        break;
    default:
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result),
                                       Q_ARG(QVariant, args.value(0)));
    }
    if (!ok)
        qWarning() << "could not call" << function;
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

struct Job
{
    QString path;
    QString duration;
    QString video;
    QString audio;
    QString thumbnail;
};

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

        QObject *page = window.rootObject();
        QObject *list = find(window, "mediaList");
        QObject *formatTab = find(window, "formatTab");
        QObject *convertTab = find(window, "convertTab");
        QVERIFY(page && list && formatTab && convertTab);

        QDir().mkpath(product.temp());
        const QList<Job> rows{
            {"/home/user/Videos/Holiday in Lisbon.mkv", "00:04:12", "h264 (High), yuv420p, 1280x720", "aac",
             makeThumbnail(product.temp(), "1", "testsrc")},
            {"/home/user/Videos/Interview with the band.mp4", "00:12:40", "h264 (Main), yuv420p, 640x360",
             "aac", makeThumbnail(product.temp(), "2", "mandelbrot")},
            {"/home/user/Music/Podcast episode 12.mp3", "00:48:03", "", "mp3", ""},
            {"/home/user/Videos/Concert.avi", "01:02:09", "mpeg4 (Simple Profile), yuv420p, 720x576", "mp3",
             makeThumbnail(product.temp(), "3", "smptebars")},
            {"/home/user/Videos/Birthday party.mov", "", "", "", ""},
        };
        for (const Job &job : rows)
            call(list, "appendRow", {job.path, "file", ""});
        for (const Job &job : rows) {
            if (job.duration.isEmpty())
                continue;
            const int slash = job.path.lastIndexOf('/');
            const QString file = job.path.mid(slash + 1);
            const QStringList info{file, job.path.left(slash + 1), file.left(file.lastIndexOf('.')),
                                   job.duration, job.thumbnail};
            const QStringList video = job.video.isEmpty() ? QStringList() : job.video.split(", ");
            call(list, "updateFile", {info, video, QStringList{job.audio, "44100 Hz", "stereo"}});
        }
        QAbstractItemModel *model = jobs(window);
        QVERIFY(model);
        QObject *listModel = qvariant_cast<QObject *>(list->property("mediaListModel"));
        QMetaObject::invokeMethod(listModel, "setProperty", Q_ARG(int, 0), Q_ARG(QString, "currentStatus"),
                                  Q_ARG(QVariant, "complete"));
        QMetaObject::invokeMethod(listModel, "setProperty", Q_ARG(int, 1), Q_ARG(QString, "currentStatus"),
                                  Q_ARG(QVariant, "45%"));
        QMetaObject::invokeMethod(listModel, "setProperty", Q_ARG(int, 2), Q_ARG(QString, "currentStatus"),
                                  Q_ARG(QVariant, "error"));
        QMetaObject::invokeMethod(listModel, "setProperty", Q_ARG(int, 2), Q_ARG(QString, "errorMsg"),
                                  Q_ARG(QVariant, "Unknown encoder 'libfoo'"));

        if (presets) {
            const QStringList formats = window.getFormatModel();
            QVERIFY(formats.size() >= 7);
            call(formatTab, "addIconsToOutputPage", {formats[0], formats[1], false});
            call(formatTab, "choosePreset", {0});
            qvariant_cast<QObject *>(formatTab->property("settingsPanel"))->setProperty("visible", true);
        }
        if (running) {
            page->setProperty("conversionInProgress", true);
            list->setProperty("current", 1);
            convertTab->setProperty("currentOverallProgress", 40);
            qvariant_cast<QObject *>(convertTab->property("clearCompleted"))->setProperty("opacity", 1.0);
        }
        find(window, "idTabs")->setProperty("current", tab);
        // The overall bar moves over a second; everything else is quicker.
        QTest::qWait(running ? 1100 : 300);

        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.size(), size);
        QVERIFY(!item(window, "row4")->property("visible").isNull());
        const QString folder = QStringLiteral(MFS_SCREENSHOT_DIR);
        QDir().mkpath(folder);
        QVERIFY(shot.save(folder + "/" + name + ".png"));
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
