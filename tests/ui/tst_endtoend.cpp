// The real window, backend, tools and ffmpeg, driven by clicks on the page.
#include "app/mainwindow.h"
#include "app/selectcd.h"
#include "app/selectdrive.h"
#include "app/selectdvd.h"
#include "app/startup.h"
#include "cd/cdimage.h"
#include "disc/drives.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>

// Reaches into the page the way a user would: items by objectName, clicks
// on the widget.
namespace {

// Delegates are only reached through childItems(), plain objects through
// children().
QQuickItem *item(QObject *from, const QString &name)
{
    if (from->objectName() == name)
        return qobject_cast<QQuickItem *>(from);
    QObjectList below = from->children();
    const auto *it = qobject_cast<QQuickItem *>(from);
    for (QQuickItem *child : it ? it->childItems() : QList<QQuickItem *>())
        below << child;
    for (QObject *child : below) {
        if (QQuickItem *found = item(child, name))
            return found;
    }
    return nullptr;
}

// The item when it exists and nothing hides it.
QQuickItem *shown(QQuickWidget &window, const QString &name)
{
    QQuickItem *found = item(window.rootObject(), name);
    for (QQuickItem *it = found; it; it = it->parentItem()) {
        if (!it->isVisible() || it->opacity() <= 0)
            return nullptr;
    }
    return found;
}

// Runs a script in the page's own scope, where its ids are known.
QVariant eval(QQuickWidget &window, const QString &script)
{
    QQmlExpression expression(qmlContext(window.rootObject()), window.rootObject(), "(function () {" + script + "})()");
    const QVariant result = expression.evaluate();
    if (expression.hasError())
        QTest::qFail(qPrintable(expression.error().toString()), __FILE__, __LINE__);
    return result;
}

// Clicks the items' centres in turn, each once it shows.
bool click(QQuickWidget &window, const QStringList &names)
{
    for (const QString &name : names) {
        QQuickItem *it = nullptr;
        if (!QTest::qWaitFor([&] { return (it = shown(window, name)) != nullptr; }))
            return false;
        const QPoint point = it->mapToScene(QPointF(it->width() / 2, it->height() / 2)).toPoint();
        QTest::mouseMove(&window, point);
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, point);
    }
    return true;
}

// One role of every job row, as text.
QStringList column(QQuickWidget &window, const QString &role)
{
    return eval(window, "var m = mediaList.mediaListModel, out = []; for (var i = 0; i < m.count; ++i) "
                        "out.push(String(m.get(i)." + role + ")); return out").toStringList();
}

// Runs `answer` once `dialog` shows: a modal dialog is answered from inside
// its own loop.
void whenShown(QWidget *dialog, const std::function<void()> &answer)
{
    auto *timer = new QTimer(dialog);
    QObject::connect(timer, &QTimer::timeout, dialog, [timer, dialog, answer] {
        if (dialog->isVisible()) {
            timer->deleteLater();
            timer->stop();
            answer();
        }
    });
    timer->start(50);
}

} // namespace

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
        QVERIFY(click(window, {"tabHeader1", "formatTile:DVD", "outputTile:PAL 16:9", "formatNext"}));
        auto *drives = window.findChild<SelectDrive *>();
        whenShown(drives, [&] {
            drives->driveList()->setCurrentIndex(drives->driveList()->findText("Image file"));
            drives->okButton()->click();
        });
        QVERIFY(click(window, {"convertButton"}));
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus"), QStringList(3, "complete"), 60000);
        QCOMPARE(column(window, "fileName").last() + "/" + column(window, "newFileName").last(),
                 iso + "/Burn Complete");

        Drives::setLister([&] { return QStringList{iso}; });
        auto *dvd = window.findChild<SelectDVD *>();
        QStringList titles;
        whenShown(dvd, [&] {
            titles = tickedRows(dvd->itemTree());
            QTest::mouseClick(dvd->okButton(), Qt::LeftButton);
        });
        QVERIFY(click(window, {"tabHeader0", "addTile:DVD"}));
        QCOMPARE(titles, QStringList{"x Title 1 00:00:03"});
        const CdImage cd = makeCdImage(work.path(), "album", {150});
        Drives::setLister([&] { return QStringList{cd.cue}; });
        auto *cdDialog = window.findChild<SelectCD *>();
        whenShown(cdDialog, [&] { QTest::mouseClick(cdDialog->okButton(), Qt::LeftButton); });
        QVERIFY(click(window, {"addTile:CD"}));
        Drives::setLister({});
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "source").mid(3), QStringList({"dvd", "cd"}), 20000);
        handOverCommandLine(window, {"mediaforgestudio", input("mute.mkv", {picture})});
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "loading").count("false"), 6, 20000);
        QCOMPARE(column(window, "duration")[3], "00:00:03");
        QVERIFY(streams(column(window, "fileName")[3]).contains("mpeg2video")); // the preset's, from the image
        QVERIFY(click(window, {"tabHeader1", "formatBack", "formatTile:MP3", "outputTile:128 kbps", "formatNext",
                               "convertButton"}));
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus").mid(3),
                                  QStringList({"complete", "complete", "error"}), 30000);
        QVERIFY(!column(window, "errorMsg")[5].isEmpty());
        const QStringList albums = QDir(work.filePath("Music")).entryList({"Album *"}, QDir::Dirs);
        QCOMPARE(albums.size(), 1);
        QCOMPARE(column(window, "finalOutput").mid(3, 2),
                 QStringList({work.filePath("Videos/TRIP_Title_1.mp3"),
                              work.filePath("Music/" + albums.first() + "/Track 1.mp3")}));
        for (const QString &output : column(window, "finalOutput").mid(3, 2))
            QVERIFY2(streams(output).startsWith("mp3 "), qPrintable(output));
        // Nothing converted twice, no partial output left behind.
        QCOMPARE(QDir(work.path()).entryList({"*.mp3"}), QStringList());
        QCOMPARE(prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
