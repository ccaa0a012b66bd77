// The window and the `mainwnd` bridge: the bridge as the page's tests see
// it, the command line's hand-over, the catalogue as the backend serves it,
// what removeFile may delete, geometry, the title strip, boxes and dialogs,
// the log, the update check, and closing.
#include "jobs/jobstore.h"
#include "app/mainwindow.h"
#include "app/myapplication.h"
#include "app/startup.h"
#include "app/tempfiles.h"
#include "app/updatecheck.h"
#include "support/testsupport.h"

#include <QDesktopServices>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QScreen>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>

#include <thread>

namespace {

// A type's own public methods of one kind, sorted, as "name(parameter names)"
// or by name alone; a QML object's property notifications are left out.
QStringList methods(const QMetaObject *type, QMetaMethod::MethodType kind, bool withParameters = true)
{
    QList<int> notifications;
    for (int i = type->propertyOffset(); i < type->propertyCount(); ++i)
        notifications << type->property(i).notifySignalIndex();
    QStringList out;
    for (int i = type->methodOffset(); i < type->methodCount(); ++i) {
        const QMetaMethod m = type->method(i);
        if (m.methodType() == kind && m.access() == QMetaMethod::Public && !notifications.contains(i))
            out << m.name() + (withParameters ? "(" + m.parameterNames().join(", ") + ")" : QByteArray());
    }
    out.sort();
    return out;
}

// Leaves the catalogue at `path` (a copy of the built one) holding only what
// `statements` insert.
bool refillCatalogue(const QString &path, const QStringList &statements)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "refill");
        db.setDatabaseName(path);
        ok = db.open();
        for (const char *table : {"tbl_AddCategories", "tbl_FormatCategories", "tbl_OutputCategories"})
            ok = ok && QSqlQuery(db).exec(QString("DELETE FROM ") + table);
        for (const QString &statement : statements)
            ok = ok && QSqlQuery(db).exec(statement);
    }
    QSqlDatabase::removeDatabase("refill");
    return ok;
}

// Every `step`th entry of a flat catalogue list from `pos` on.
QStringList column(const QStringList &flat, int step, int pos)
{
    QStringList out;
    for (int i = pos; i < flat.size(); i += step)
        out << flat.at(i);
    return out;
}

// Files made, what removeFile is given, its answer, and which of the files
// made are left.
struct Removal { QStringList made; QString argument; bool removed; QStringList left; };

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScratchProduct> product;
    std::unique_ptr<PromptRecorder> prompts;
    std::unique_ptr<MainWindow> w;
    QStringList opened; // pages the program asked the desktop to open
    QTemporaryDir site;

    // The web site as a folder offering `version` (none: the page is missing).
    void publish(const QByteArray &version)
    {
        QFile::remove(site.filePath("current-version.txt"));
        QVERIFY(version.isNull() || writeFile(site.filePath("current-version.txt"), version));
        qputenv("MEDIAFORGESTUDIO_SITE", QUrl::fromLocalFile(site.path()).toEncoded());
    }

    // A window on this test's product folder, its boxes answered.
    void makeWindow(bool shown = true)
    {
        w.reset();
        w = std::make_unique<MainWindow>();
        if (shown) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        }
    }

public slots:
    void openUrl(const QUrl &url) { opened << url.toString(); }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler("file", this, "openUrl"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }
    void init()
    {
        product = std::make_unique<ScratchProduct>();
        prompts = std::make_unique<PromptRecorder>();
        opened.clear();
    }
    void cleanup()
    {
        qputenv("MEDIAFORGESTUDIO_SITE", "http://127.0.0.1:1");
        w.reset();
        prompts.reset();
        product.reset();
    }

    // The page's suites run against tests/qml/MainwndDouble.qml; it must offer
    // what the real bridge offers, and name the signals' parameters alike,
    // since the page's handlers bind to those names.
    void doubleStandsForTheBridge()
    {
        QQmlEngine engine;
        QQmlComponent component(&engine, QUrl::fromLocalFile(testData("../qml/MainwndDouble.qml")));
        const std::unique_ptr<QObject> fake(component.create());
        QVERIFY2(fake, qPrintable(component.errorString()));
        const QMetaObject *bridge = &MainWindow::staticMetaObject;
        QCOMPARE(methods(fake->metaObject(), QMetaMethod::Signal), methods(bridge, QMetaMethod::Signal));
        // The double's own helpers for the tests apart.
        QStringList operations = methods(fake->metaObject(), QMetaMethod::Slot, false);
        for (const char *helper : {"args", "count", "last", "record"})
            QVERIFY(operations.removeOne(helper));
        QCOMPARE(operations, methods(bridge, QMetaMethod::Method, false));
    }

    // Accepted files go over as one drop (case-sensitive, by the last dot, in
    // order, made absolute); a command line without files drops nothing.
    void commandLineFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<QStringList>>("drops");
        QTest::newRow("program only") << QStringList{} << QList<QStringList>{};
        QTest::newRow("only refused: one empty drop") << QStringList{"/m/notes.txt"} << QList<QStringList>{{}};
        QTest::newRow("filtered")
            << QStringList{"/m/z.wav", "/m/A.MP3", "/m/b.txt", "/m/a.b.mkv", "/m/c.mkv.part", "/m/mp3", "/m/a.flac"}
            << QList<QStringList>{{"/m/z.wav", "/m/a.b.mkv", "/m/a.flac"}};
        QTest::newRow("relative") << QStringList{"song.mp3"}
                                  << QList<QStringList>{{QDir::current().absoluteFilePath("song.mp3")}};
    }

    void commandLineFiles()
    {
        QFETCH(QStringList, arguments);
        makeWindow(false);
        QSignalSpy dropped(w.get(), &MainWindow::fileDropped);
        handOverCommandLine(*w, QStringList{"/opt/mfs/mediaforgestudio"} + arguments);
        QList<QStringList> drops;
        for (const QList<QVariant> &drop : dropped)
            drops << drop.at(0).toStringList();
        QTEST(drops, "drops");
    }

    // Leading columns by position (NULL as ""), a bound id, and the order by
    // use then default position: presets reorder at once, the start-up lists
    // at the next start.
    void catalogue()
    {
        QVERIFY(refillCatalogue(product->catalogue(), {
            "ALTER TABLE tbl_OutputCategories ADD COLUMN extra TEXT DEFAULT 'x'",
            "INSERT INTO tbl_AddCategories VALUES (1, 'Audio', NULL, 'a.png', 'T1', 'F1')",
            "INSERT INTO tbl_FormatCategories VALUES (1, 'A', NULL, 'a.png', 0, 0, 2), (2, 'B', 'b', '', 0, 0, 1),"
            " (3, 'C', '', '', 0, 0, 3), (4, 'Dev1', '', '', 1, 0, 2), (5, 'Dev2', '', '', 1, 0, 1)",
            "INSERT INTO tbl_OutputCategories VALUES (10, 'p1', 1, 'i.png', 'mp3', 0, 1, NULL, '-vn', 'y'),"
            " (11, 'p2', 1, '', 'x', 0, 2, '', '-b', 'y')"}));
        makeWindow(false);
        QCOMPARE(w->getAddModel(), (QStringList{"1", "Audio", "", "a.png", "T1", "F1"}));
        QCOMPARE(w->getFormatModel().mid(0, 7), (QStringList{"2", "B", "b", "", "0", "0", "1"}));
        QCOMPARE(column(w->getFormatModel(), 7, 1), (QStringList{"B", "A", "C"}));
        QCOMPARE(column(w->getDeviceModel(), 7, 1), (QStringList{"Dev2", "Dev1"}));
        QCOMPARE(w->getOutputModel("1"), (QStringList{"10", "p1", "1", "i.png", "mp3", "0", "1", "", "-vn",
                                                      "11", "p2", "1", "", "x", "0", "2", "", "-b"}));
        for (const char *id : {"6", "1 OR 1=1", ""})
            QCOMPARE(w->getOutputModel(id), QStringList());
        w->incrementCount(3, 11);
        QCOMPARE(column(w->getOutputModel("1"), 9, 1), (QStringList{"p2", "p1"}));
        QCOMPARE(column(w->getFormatModel(), 7, 1), (QStringList{"B", "A", "C"}));
        makeWindow(false);
        QCOMPARE(column(w->getFormatModel(), 7, 1), (QStringList{"C", "B", "A"}));
        QCOMPARE(column(w->getFormatModel(), 7, 5), (QStringList{"1", "0", "0"}));
    }

    // TEMP/ stands for the temporary folder, OUT/ for a folder beside the
    // product folder, OUT2/ for one beside the temporary folder; "a>b" is a
    // link a leading to b. Links are removed, never followed.
    void removeFile_data()
    {
        QTest::addColumn<Removal>("r");
        auto row = [](const char *name, const QStringList &made, const char *argument, bool removed,
                      const QStringList &left = {}) { QTest::newRow(name) << Removal{made, argument, removed, left}; };
        row("file in temp", {"TEMP/a.png"}, "TEMP/a.png", true);
        row("file outside", {"OUT/song.mp3"}, "OUT/song.mp3", false, {"OUT/song.mp3"});
        row("missing file", {}, "TEMP/none.png", false);
        row("climbs out with ..", {"OUT/x.txt"}, "TEMP/../../Documents/x.txt", false, {"OUT/x.txt"});
        row("climbs out, comes back", {"TEMP/c.png"}, "TEMP/sub/../c.png", true);
        row("temp as prefix of a sibling", {"OUT2/e.png"}, "TEMP/../temp2/e.png", false, {"OUT2/e.png"});
        row("folder tree", {"TEMP/r/01.wav", "TEMP/r/n/d/02.wav"}, "TEMP/r", true);
        row("hidden entries keep their folder", {"TEMP/s/a.mpg", "TEMP/s/.hidden"}, "TEMP/s", false,
            {"TEMP/s/.hidden"});
        row("the temporary folder itself", {"TEMP/a.png"}, "TEMP/", true);
        row("links in a tree", {"OUT/k.mp3", "TEMP/t/a.png", "TEMP/t/d>OUT/", "TEMP/t/f>OUT/k.mp3"}, "TEMP/t", true,
            {"OUT/k.mp3"});
        row("through a linked folder", {"OUT/k.mp3", "TEMP/d>OUT/"}, "TEMP/d/k.mp3", false,
            {"OUT/k.mp3", "TEMP/d>OUT/"});
        row("a linked folder", {"OUT/k.mp3", "TEMP/d>OUT/"}, "TEMP/d", true, {"OUT/k.mp3"});
    }

    void removeFile()
    {
        QFETCH(Removal, r);
        const QString temp = product->temp();
        auto place = [&](QString s) {
            return s.replace("TEMP/", temp)
                .replace("OUT2/", product->product() + "/temp2/").replace("OUT/", product->appData() + "/Documents/");
        };
        for (const QString &file : r.made) {
            const QString path = place(file.section('>', 0, 0)), target = place(file.section('>', 1));
            QVERIFY(file.contains('>') ? QFile::link(target, path) : writeFile(path));
        }
        QCOMPARE(TempFiles::remove(place(r.argument), temp), r.removed);
        for (const QString &file : r.made) {
            const QFileInfo there(place(file.section('>', 0, 0)));
            QVERIFY2((there.exists() || there.isSymLink()) == r.left.contains(file), qPrintable(file));
        }
        QVERIFY(!r.removed || !QFileInfo::exists(place(r.argument)));
        QCOMPARE(QFileInfo::exists(temp), r.argument != "TEMP/");
    }

    // What a killed run was writing goes at the next start, but only while
    // its name still holds that very file: a list that can't tell (from an
    // earlier version) leaves it.
    void interruptedOutput_data()
    {
        addRows<QString>("since", {{"left as it was", ""},
                                   {"a link to the user's file in its place", "link"},
                                   {"list without the file's identity", "old list"}});
    }

    void interruptedOutput()
    {
        QFETCH(QString, since);
        const QString out = product->appData() + "/song.wav", other = product->appData() + "/other.wav";
        const QString list = product->product() + "/jobs.json";
        QVERIFY(writeFile(out, "half") && writeFile(other, "user's"));
        {
            JobStore killed(list, {});
            killed.save({QVariantMap{{"fileName", "/in/song.mp3"}, {"source", "file"}, {"running", true},
                                     {"newFileName", "song.wav"}}}, {{"outExt", "wav"}});
            killed.addRunningOutput(out);
        }
        if (since == "link")
            QVERIFY(QFile::remove(out) && QFile::link(other, out));
        if (since == "old list")
            QVERIFY(writeFile(list, readFile(list).replace("runningIdentity", "x").replace("runningOutputs", "y")));
        JobStore(list, {}).offerRestore();
        QCOMPARE(QFileInfo(out).exists(), !since.isEmpty());
        QCOMPARE(readFile(other), "user's");
    }

    void lockedFileIsRetriedForOneSecond()
    {
        const QString held = product->temp() + "held/out.mpg";
        QVERIFY(writeFile(held));
        if (!setLocked(held, true))
            QSKIP("this file system can't make a file undeletable");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!TempFiles::remove(held, product->temp()));
        QVERIFY2(clock.elapsed() >= 990 && clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(QFileInfo::exists(held));
        // Released after half a second: deleted within the second.
        std::thread releaser([held] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            setLocked(held, false);
        });
        clock.restart();
        const bool removed = TempFiles::remove(held, product->temp());
        releaser.join();
        setLocked(held, false);
        QVERIFY(removed && clock.elapsed() < 990);
    }

    void maximizeAndRestore()
    {
        makeWindow(false);
        const QRect normal(40, 50, 820, 560), work = QGuiApplication::primaryScreen()->availableGeometry();
        w->setGeometry(normal);
        w->showMaximized();
        QCOMPARE(w->geometry(), work);
        QCOMPARE(w->windowState(), Qt::WindowNoState);
        w->showNormal();
        QCOMPARE(w->geometry(), normal);
        // A second maximize remembers the work area, so restoring keeps it.
        w->showMaximized();
        w->showMaximized();
        w->showNormal();
        QCOMPARE(w->geometry(), work);
    }

    void titleStripMovesTheWindow_data()
    {
        QTest::addColumn<int>("pressY");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("left at 30") << 30 << Qt::LeftButton << true;
        QTest::newRow("left at 31") << 31 << Qt::LeftButton << false;
        QTest::newRow("right at 10") << 10 << Qt::RightButton << false;
    }

    void titleStripMovesTheWindow()
    {
        QFETCH(int, pressY);
        QFETCH(Qt::MouseButton, button);
        makeWindow();
        w->move(100, 100);
        const QPoint start = w->pos(), press(300, pressY), shift(40, 25);
        QTest::mousePress(w.get(), button, {}, press);
        QTest::mouseMove(w.get(), press + shift);
        QTest::mouseRelease(w.get(), button, {}, press + shift);
        QTEST(w->pos() != start, "moves");
        QVERIFY(w->pos() == start || w->pos() == start + shift);
    }

    // Only Yes is yes; dialog answers come back native and absolute; a
    // cancelled dialog gives nothing; folders end with the separator. The
    // log keeps what came before.
    void answersFoldersAndLog()
    {
        makeWindow(false);
        prompts->answers << QMessageBox::Yes;
        QVERIFY(w->yesno("Sure?"));
        QVERIFY(!w->yesno("Closed without an answer?"));
        prompts->answers << QMessageBox::Yes;
        QVERIFY(MyApplication::confirmShutdown());
        prompts->fileAnswers << QStringList{"/music//a.mp3", "/music/b.flac"};
        QCOMPARE(w->openInputFile("Add Audio Files", "Audio (*.mp3)"), (QStringList{"/music/a.mp3", "/music/b.flac"}));
        QCOMPARE(w->openOutputFolder(), QString());
        for (const QString &folder : {w->getTempFolder(), w->getMusicFolder(), w->getVideoFolder()})
            QVERIFY2(folder.endsWith('/'), qPrintable(folder));

        QVERIFY(writeFile(product->product() + "/log.txt", "earlier\n"));
        w->log("first");
        w->log("  second  ");
        QCOMPARE(readFile(product->product() + "/log.txt"), QByteArray("earlier\nfirst\nsecond\n"));
    }

    void updateAnswers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("newer");
        QTest::newRow("minor step") << QByteArray("0.2\nFaster\nSmaller") << true;
        QTest::newRow("third component") << QByteArray("0.1.5") << true;
        QTest::newRow("same") << QByteArray("0.1") << false;
        QTest::newRow("same, spelt long") << QByteArray("0.1.0\n") << false;
        QTest::newRow("older") << QByteArray("0.0.9") << false;
        QTest::newRow("padded") << QByteArray("  0.2\r\nX") << true;
        QTest::newRow("not a version") << QByteArray("<html>Not here</html>") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("stops at NUL") << QByteArray("0.1\0" "9.9", 7) << false;
    }

    void updateAnswers()
    {
        QFETCH(QByteArray, body);
        QTEST(UpdateCheck::evaluate(body, "0.1").newer, "newer");
        if (QTest::currentDataTag() == QLatin1String("minor step"))
            QCOMPARE(UpdateCheck::evaluate(body, "0.1").message,
                     "Version 0.2 is available for download!\n\nNew features:\nFaster\nSmaller\n\n"
                     "Would you like to download this now?");
    }

    // The check at start-up speaks only of a newer version; one from the
    // menu always answers. Yes to the offer opens the download page.
    void updateChecks_data()
    {
        QTest::addColumn<QByteArray>("version"); // none: the site can't be read
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("boxes");
        const QStringList offer{"New Update Available"};
        QTest::newRow("automatic, newer") << QByteArray("0.2\nFaster") << false << false << offer;
        QTest::newRow("automatic, newer, Yes") << QByteArray("0.2\nFaster") << false << true << offer;
        QTest::newRow("automatic, up to date") << QByteArray("0.1") << false << false << QStringList();
        QTest::newRow("automatic, offline") << QByteArray() << false << false << QStringList();
        QTest::newRow("menu, newer") << QByteArray("0.2\nFaster") << true << false << offer;
        QTest::newRow("menu, up to date") << QByteArray("0.1") << true << false
                                          << QStringList{"You have the most up to date version installed"};
        QTest::newRow("menu, offline") << QByteArray() << true << false
                                       << QStringList{"Unable to check for updates at this time"};
    }

    void updateChecks()
    {
        QFETCH(QByteArray, version);
        QFETCH(bool, fromMenu);
        QFETCH(bool, yes);
        QFETCH(QStringList, boxes);
        publish(version);
        if (yes)
            prompts->answers << QMessageBox::Yes;
        makeWindow(false);
        if (fromMenu)
            w->updateAction();
        QTest::qWait(300);
        QTRY_COMPARE(prompts->boxes.size(), boxes.size());
        QStringList shown;
        for (const auto &b : prompts->boxes)
            shown << (b.title == "Warning" ? b.text : b.title);
        QCOMPARE(shown, boxes);
        QCOMPARE(opened, yes ? QStringList{QUrl::fromLocalFile(site.path()).toString() + "/update?version=0.1"}
                             : QStringList());
    }

    // A check from the menu replaces the automatic one still waiting for a
    // site that doesn't answer.
    void menuCheckReplacesThePendingOne()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        qputenv("MEDIAFORGESTUDIO_SITE", "http://127.0.0.1:" + QByteArray::number(silent.serverPort()));
        makeWindow(false);
        QTRY_VERIFY(silent.hasPendingConnections());
        publish("0.1");
        w->updateAction();
        QTRY_COMPARE(prompts->boxes.size(), 1);
        QTest::qWait(200);
        QCOMPARE(prompts->texts(), QStringList{"You have the most up to date version installed"});
    }

    void closeWhileIdleEmptiesTheTempFolder()
    {
        makeWindow();
        for (const char *file : {"1.png", "1371000000/01.wav", ".keep"})
            QVERIFY(writeFile(product->temp() + file));
        w->close();
        QVERIFY(prompts->boxes.isEmpty() && !w->isVisible());
        QCOMPARE(QDir(product->temp()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{".keep"});
    }

    // No keeps everything until the run is stopped, which removes its
    // output; Yes stops and empties the temporary folder. The converter
    // never outlives the window.
    void closeWhileConverting_data()
    {
        addRows<QString>("ending",
                         {{"answered No, then stopped", "no"}, {"answered Yes", "yes"}, {"window destroyed", "destroyed"}});
    }

    void closeWhileConverting()
    {
        QFETCH(QString, ending);
        PathPrefix path(testData("stand-ins/slow"));
        const QString pidFile = product->appData() + "/ffmpeg.pid", temp = product->temp(), output = temp + "42/a.wav";
        qputenv("MFS_FAKE_PIDFILE", pidFile.toLocal8Bit());
        makeWindow();
        QSignalSpy cancelled(w.get(), &MainWindow::conversionCancelled);
        QSignalSpy completed(w.get(), &MainWindow::conversionComplete);
        QVERIFY(writeFile(temp + "thumb.png"));
        w->makeDir(temp + "42");
        w->startNewConversion("/in/a.wav", "-vn -c:a pcm_s16le", "", temp + "42/a", "wav");
        QTRY_VERIFY(processAlive(pidFile) && QFileInfo::exists(output));
        qunsetenv("MFS_FAKE_PIDFILE");
        if (ending == "destroyed") {
            w.reset();
            QTRY_VERIFY(!processAlive(pidFile));
            return;
        }
        prompts->answers << (ending == "yes" ? QMessageBox::Yes : QMessageBox::No);
        w->close();
        QCOMPARE(prompts->texts(), QStringList{"Conversions will be cancelled - are you sure you want to close?"});
        QCOMPARE(w->isVisible(), ending == "no");
        QCOMPARE(QFileInfo::exists(temp + "thumb.png"), ending == "no");
        QCOMPARE(QFileInfo::exists(output), ending == "no");
        if (ending == "no")
            w->stopConversion();
        QTRY_COMPARE_WITH_TIMEOUT(cancelled.count(), 1, 3000);
        QVERIFY(completed.isEmpty() && !QFileInfo::exists(output));
        QTRY_VERIFY(!processAlive(pidFile));
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
