#include "app/mainwindow.h"
#include "app/startup.h"
#include "pagedriver.h"
#include "support/testsupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace PageDriver;

namespace {

// One format with a preset that works for any audio and one that needs a
// second audio stream.
bool writeCatalogue(const QString &path)
{
    QFile::remove(path);
    bool ok;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "e2e");
        db.setDatabaseName(path);
        ok = db.open();
        for (const char *s : {
                 "CREATE TABLE tbl_AddCategories (id INTEGER PRIMARY KEY, caption, d, icon, title, filter)",
                 "CREATE TABLE tbl_FormatCategories (id INTEGER PRIMARY KEY, caption, d, icon, device, count, "
                 "default_pos)",
                 "CREATE TABLE tbl_OutputCategories (id INTEGER PRIMARY KEY, caption, format, icon, ext, count, "
                 "default_pos, d, args)",
                 "INSERT INTO tbl_FormatCategories VALUES (1, 'FLAC', '', 'images/icons/flac.png', 0, 0, 1)",
                 "INSERT INTO tbl_OutputCategories VALUES (11, 'Best', 1, 'images/icons/flac.png', 'flac', 0, 1, '', "
                 "'-vn -c:a flac')",
                 "INSERT INTO tbl_OutputCategories VALUES (12, 'Second', 1, 'images/icons/flac.png', 'flac', 0, 2, '', "
                 "'-vn -map 0:a:1 -c:a flac')"})
            ok = ok && QSqlQuery(db).exec(s);
    }
    QSqlDatabase::removeDatabase("e2e");
    return ok;
}

// What ffmpeg says on stderr.
QString ffmpegSays(const QStringList &args)
{
    QProcess p;
    p.start("ffmpeg", QStringList{"-hide_banner", "-nostdin", "-y"} + args);
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAllStandardError());
}

// One role of every row, as text.
QStringList column(QQuickWidget &window, const QString &role)
{
    return eval(window, "var m = mediaList.mediaListModel, out = []; for (var i = 0; i < m.count; ++i) "
                        "out.push(String(m.get(i)." + role + ")); return out").toStringList();
}

} // namespace

// The real window, backend and ffmpeg, driven by clicks on the page.
class TestEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir inputs;

    // One second of each lavfi source, one stream each.
    QString input(const QString &name, const QStringList &sources)
    {
        QStringList args;
        for (const QString &s : sources)
            args << "-f" << "lavfi" << "-i" << s;
        for (int i = 0; i < sources.size(); ++i)
            args << "-map" << QString::number(i);
        ffmpegSays(args << "-t" << "1" << inputs.filePath(name));
        return inputs.filePath(name);
    }

    // Format tab, the format tile unless its presets show, a preset, Next.
    void choosePreset(MainWindow &window, const QString &preset)
    {
        QVERIFY(click(window, "tabHeader1"));
        if (!shown(window, "outputTile:" + preset)) {
            QTRY_VERIFY(shown(window, "formatTile:FLAC"));
            QVERIFY(click(window, "formatTile:FLAC"));
        }
        QTRY_VERIFY(shown(window, "outputTile:" + preset));
        QVERIFY(click(window, "outputTile:" + preset));
        QVERIFY(click(window, "formatNext"));
        QCOMPARE(eval(window, "return idTabs.current").toInt(), 2);
    }

private slots:
    // Dropped files, a preset and Convert by clicks; a second Convert takes
    // only the new rows, and a failing job is marked while the run goes on.
    void convertsFromTheWindow()
    {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
            QSKIP("ffmpeg is not installed");
        ScratchProduct product;
        QVERIFY(writeCatalogue(product.catalogue()));
        PromptRecorder prompts;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        handOverCommandLine(window, {"mediaforgestudio", input("clip.mkv", {"testsrc=size=160x120:rate=10", "sine"}),
                                     input("tone.wav", {"sine=f=660"})});
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "loading"), QStringList({"false", "false"}), 20000);
        QCOMPARE(column(window, "newFileName"), QStringList({"clip", "tone"}));
        QVERIFY(column(window, "wxh")[0].startsWith("160x120"));
        choosePreset(window, "Best");
        QVERIFY(click(window, "convertButton"));
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus"), QStringList({"complete", "complete"}), 30000);
        QCOMPARE(column(window, "finalOutput"),
                 QStringList({inputs.filePath("clip.flac"), inputs.filePath("tone.flac")}));
        QCOMPARE(eval(window, "return convertTab.currentOverallProgress").toInt(), 100);

        handOverCommandLine(window, {"mediaforgestudio", input("single.wav", {"sine"}),
                                     input("dual.mka", {"sine", "sine=f=880"})});
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "loading").count("false"), 4, 20000);
        choosePreset(window, "Second");
        QVERIFY(click(window, "convertButton"));
        QTRY_COMPARE_WITH_TIMEOUT(column(window, "currentStatus"),
                                  QStringList({"complete", "complete", "error", "complete"}), 30000);
        QVERIFY2(column(window, "errorMsg")[2].contains("map"), qPrintable(column(window, "errorMsg")[2]));
        // Nothing converted twice, no partial output left behind.
        QCOMPARE(QDir(inputs.path()).entryList(QDir::Files),
                 QStringList({"clip.flac", "clip.mkv", "dual.flac", "dual.mka", "single.wav", "tone.flac",
                              "tone.wav"}));
        for (const char *out : {"clip.flac", "tone.flac", "dual.flac"})
            QVERIFY2(ffmpegSays({"-i", inputs.filePath(out)}).contains("Audio: flac"), out);
        QCOMPARE(prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
