#include "app/mainwindow.h"
#include "app/startup.h"
#include "pagedriver.h"
#include "support/testsupport.h"

#include <QAbstractItemModel>
#include <QProcess>
#include <QQuickItem>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace PageDriver;

namespace {

// A catalogue of our own: one format with a preset that works for any audio
// and one that needs a second audio stream.
void writeCatalogue(const QString &path)
{
    QFile::remove(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "e2e");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        const QStringList statements{
            "CREATE TABLE tbl_AddCategories (id INTEGER PRIMARY KEY, caption TEXT, d TEXT, icon TEXT, "
            "title TEXT, filter TEXT)",
            "CREATE TABLE tbl_FormatCategories (id INTEGER PRIMARY KEY, caption TEXT, d TEXT, icon TEXT, "
            "device INTEGER, count INTEGER, default_pos INTEGER)",
            "CREATE TABLE tbl_OutputCategories (id INTEGER PRIMARY KEY, caption TEXT, format INTEGER, "
            "icon TEXT, ext TEXT, count INTEGER, default_pos INTEGER, d TEXT, args TEXT)",
            "INSERT INTO tbl_AddCategories VALUES (1, 'Audio', NULL, 'images/icons/audio.png', 'Add Audio', '*')",
            "INSERT INTO tbl_AddCategories VALUES (2, 'Video', NULL, 'images/icons/video.png', 'Add Video', '*')",
            "INSERT INTO tbl_FormatCategories VALUES (1, 'FLAC', NULL, 'images/icons/flac.png', 0, 0, 1)",
            "INSERT INTO tbl_OutputCategories VALUES (11, 'Best', 1, 'images/icons/flac-best.png', 'flac', 0, 1, "
            "NULL, '-vn -c:a flac')",
            "INSERT INTO tbl_OutputCategories VALUES (12, 'Second', 1, 'images/icons/flac-standard.png', 'flac', "
            "0, 2, NULL, '-vn -map 0:a:1 -c:a flac')"};
        for (const QString &s : statements)
            QVERIFY2(q.exec(s), qPrintable(s));
        db.close();
    }
    QSqlDatabase::removeDatabase("e2e");
}

bool ffmpeg(const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.start("ffmpeg", QStringList{"-hide_banner", "-nostdin"} + args);
    if (!p.waitForFinished(30000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit;
}

// A one-second input from the lavfi sources.
QString makeInput(const QTemporaryDir &dir, const QString &name, const QStringList &sources)
{
    QStringList args{"-loglevel", "error", "-y"};
    for (const QString &s : sources)
        args << "-f" << "lavfi" << "-i" << s;
    for (int i = 0; i < sources.size(); ++i)
        args << "-map" << QString::number(i);
    const QString path = dir.filePath(name);
    args << "-t" << "1" << path;
    return ffmpeg(args) && QFileInfo::exists(path) ? path : QString();
}

QString probe(const QString &path)
{
    QString text;
    ffmpeg({"-i", path}, &text);
    return text;
}

QStringList column(QAbstractItemModel *model, const QString &name)
{
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row)
        values << role(model, row, name).toString();
    return values;
}

bool allLoaded(QAbstractItemModel *model, int rows)
{
    if (model->rowCount() != rows)
        return false;
    for (int row = 0; row < rows; ++row) {
        if (role(model, row, "loading").toBool())
            return false;
    }
    return true;
}

} // namespace

// The real window, backend and ffmpeg, driven by clicks on the page.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    // Format tab, a format tile, a preset tile, Next: ends on the Convert tab.
    void choosePreset(MainWindow &window, const QString &preset)
    {
        QVERIFY(click(window, "tabHeader1"));
        QTRY_VERIFY(shown(window, "formatTile:FLAC"));
        QVERIFY(click(window, "formatTile:FLAC"));
        QTRY_VERIFY(shown(window, "outputTile:" + preset));
        QVERIFY(click(window, "outputTile:" + preset));
        QVERIFY(click(window, "formatNext"));
        QCOMPARE(find(window, "idTabs")->property("current").toInt(), 2);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
            QSKIP("ffmpeg is not installed");
    }

    void convertsTheListThenOnlyNewRows()
    {
        ScratchProduct product;
        writeCatalogue(product.catalogue());
        PromptRecorder prompts;
        QTemporaryDir inputs;
        const QString video = makeInput(inputs, "clip.mkv", {"testsrc=size=160x120:rate=10", "sine=f=440"});
        const QString audio = makeInput(inputs, "tone.wav", {"sine=f=660"});
        QVERIFY(!video.isEmpty() && !audio.isEmpty());

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        handOverCommandLine(window, {"mediaforgestudio", video, audio});
        QAbstractItemModel *rows = jobs(window);
        QVERIFY(rows);
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(rows, 2), 20000);
        QCOMPARE(column(rows, "newFileName"), (QStringList{"clip", "tone"}));
        QCOMPARE(role(rows, 0, "wxh").toString().left(7), QString("160x120"));

        choosePreset(window, "Best");
        QVERIFY(click(window, "convertButton"));
        QTRY_COMPARE_WITH_TIMEOUT(column(rows, "currentStatus"), (QStringList{"complete", "complete"}), 30000);
        QCOMPARE(column(rows, "finalOutput"), (QStringList{inputs.filePath("clip.flac"), inputs.filePath("tone.flac")}));
        for (const char *out : {"clip.flac", "tone.flac"})
            QVERIFY2(probe(inputs.filePath(out)).contains("Audio: flac"), qPrintable(out));
        QCOMPARE(find(window, "convertTab")->property("currentOverallProgress").toInt(), 100);

        // A second run converts only the row added since.
        const QString more = makeInput(inputs, "more.wav", {"sine=f=220"});
        handOverCommandLine(window, {"mediaforgestudio", more});
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(rows, 3), 20000);
        QVERIFY(click(window, "convertButton"));
        QTRY_COMPARE_WITH_TIMEOUT(column(rows, "currentStatus"),
                                  (QStringList{"complete", "complete", "complete"}), 30000);
        QVERIFY(probe(inputs.filePath("more.flac")).contains("Audio: flac"));
        QVERIFY(!QFileInfo::exists(inputs.filePath("clip (New).flac")));
        QVERIFY(!QFileInfo::exists(inputs.filePath("tone (New).flac")));
        QCOMPARE(prompts.texts(), QStringList());
    }

    void failingJobIsMarkedAndTheRunGoesOn()
    {
        ScratchProduct product;
        writeCatalogue(product.catalogue());
        PromptRecorder prompts;
        QTemporaryDir inputs;
        const QString single = makeInput(inputs, "single.wav", {"sine=f=440"});
        const QString dual = makeInput(inputs, "dual.mka", {"sine=f=440", "sine=f=880"});
        QVERIFY(!single.isEmpty() && !dual.isEmpty());

        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        handOverCommandLine(window, {"mediaforgestudio", single, dual});
        QAbstractItemModel *rows = jobs(window);
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(rows, 2), 20000);

        choosePreset(window, "Second");
        QVERIFY(click(window, "convertButton"));
        QTRY_COMPARE_WITH_TIMEOUT(column(rows, "currentStatus"), (QStringList{"error", "complete"}), 30000);
        const QString message = role(rows, 0, "errorMsg").toString();
        QVERIFY2(message.contains("map"), qPrintable(message));
        QVERIFY(probe(inputs.filePath("dual.flac")).contains("Audio: flac"));

        // Nothing is left to convert; Clear Completed takes both rows away.
        QVERIFY(!find(window, "convertButton")->property("enabled").toBool());
        QVERIFY(click(window, "clearCompleted"));
        QCOMPARE(rows->rowCount(), 0);
        QCOMPARE(find(window, "idTabs")->property("current").toInt(), 0);
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
