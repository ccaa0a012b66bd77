// Catalogues that can't serve: the program refuses them by name, the
// launcher keeps them aside and seeds the pristine copy. One that can't be
// written still serves; only its counts stay as they were.
#include "support/session.h"
#include "support/testsupport.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <csignal>

class TestDamagedCatalogue : public QObject
{
    Q_OBJECT

    // The launcher in an installation of its own, starting the program's
    // check of the catalogue it leaves; what it said.
    static QString launch(const QString &catalogue)
    {
        QTemporaryDir prefix;
        for (const char *dir : {"bin", "libexec/mediaforgestudio", "share/mediaforgestudio"})
            QDir().mkpath(prefix.filePath(dir));
        QFile::copy(MFS_TEST_LAUNCHER, prefix.filePath("bin/mediaforgestudio"));
        QFile::link(MFS_TEST_BIN "/mediaforgestudio", prefix.filePath("libexec/mediaforgestudio/mediaforgestudio"));
        QFile::copy(MFS_TEST_CATALOGUE, prefix.filePath("share/mediaforgestudio/data.db"));
        QProcess launcher;
        launcher.start("sh", {prefix.filePath("bin/mediaforgestudio"), "--check-catalogue", catalogue});
        if (!launcher.waitForFinished(20000) || launcher.exitCode() != 0)
            return "launcher failed: " + launcher.readAllStandardError();
        return launcher.readAllStandardError();
    }

private slots:
    void catalogues_data()
    {
        QTest::addColumn<QByteArray>("content"); // written over the shipped catalogue first
        QTest::addColumn<QString>("statement");  // then run on it
        QTest::addColumn<QString>("reason");     // empty: it still serves
        QByteArray noise(20000, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("random bytes") << noise << "" << "it is not a database";
        QTest::newRow("empty file") << QByteArray("") << "" << "the table tbl_AddCategories is missing";
        QTest::newRow("other tables") << QByteArray("") << "CREATE TABLE notes (x)"
                                      << "the table tbl_AddCategories is missing";
        QTest::newRow("a table missing") << QByteArray() << "DROP TABLE tbl_OutputCategories"
                                         << "the table tbl_OutputCategories is missing";
        QTest::newRow("a column missing") << QByteArray() << "ALTER TABLE tbl_FormatCategories DROP COLUMN count"
                                          << "the table tbl_FormatCategories can't be read (no such column: count)";
        QTest::newRow("read-only") << QByteArray() << "" << "";
    }

    void catalogues()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, statement);
        QFETCH(QString, reason);
        ScratchProduct product;
        const QString catalogue = product.catalogue(), input = product.appData() + "/a.wav";
        QFile file(catalogue);
        if (!content.isNull() && file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(content);
        file.close();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
            db.setDatabaseName(catalogue);
            QVERIFY(statement.isEmpty() || (db.open() && QSqlQuery(db).exec(statement)));
        }
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
        const QByteArray before = readFile(catalogue);
        QCOMPARE(QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=d=1", input}), 0);
        QVERIFY(!reason.isEmpty() || setLocked(catalogue, true));

        // The program's own start; where it starts, it converts.
        Session start({input}, "mainwnd.conversionComplete.connect(() => mainwnd.close());"
                               "Object.assign(mainPage, {ffmpegArgs: '-c:a flac', outExt: 'flac', formatId: 1});"
                               "convertTab.convert()", "yes,yes");
        QVERIFY(start.process.waitForFinished(20000));
        QCOMPARE(start.printed("box").filter("Fatal Error"),
                 reason.isEmpty() ? QStringList() : QStringList{"Fatal Error: The catalogue " + catalogue
                                                                + " is damaged: " + reason + ".  Please try re-installing!"});
        QCOMPARE(start.process.exitCode(), reason.isEmpty() ? 0 : 1);
        QCOMPARE(QFile::exists(product.appData() + "/a.flac"), reason.isEmpty());
        QCOMPARE(readFile(catalogue), before);

        // The launcher keeps a damaged catalogue aside.
        const QString said = launch(catalogue);
        const QStringList aside = QDir(product.product()).entryList({"data.db.damaged-*"});
        QCOMPARE(aside.size(), reason.isEmpty() ? 0 : 1);
        QCOMPARE(readFile(product.product() + "/" + aside.value(0, "data.db")), before);
        QCOMPARE(readFile(catalogue), reason.isEmpty() ? before : readFile(MFS_TEST_CATALOGUE));
        QCOMPARE(said.contains(catalogue + " was damaged (" + reason + "); it is kept as "), !reason.isEmpty());
        QVERIFY2(said.isEmpty() == reason.isEmpty(), qPrintable(said));
        QVERIFY(!reason.isEmpty() || setLocked(catalogue, false));
    }

    // A signal ends the program while its "Fatal Error" box shows; a data.db
    // that is a folder is kept aside by the launcher like a damaged one,
    // never filled.
    void fatalBox_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<int>("signal");
        QTest::newRow("damaged, SIGTERM") << false << SIGTERM;
        QTest::newRow("a folder, SIGINT") << true << SIGINT;
        QTest::newRow("a folder, SIGHUP") << true << SIGHUP;
    }

    void fatalBox()
    {
        QFETCH(bool, folder);
        QFETCH(int, signal);
        ScratchProduct product;
        const QString catalogue = product.catalogue();
        QVERIFY(QFile::remove(catalogue));
        QVERIFY(folder ? QDir().mkpath(catalogue + "/mine") : writeFile(catalogue, "not a database"));

        Session start({}, "", "hold");
        QTRY_VERIFY_WITH_TIMEOUT(!start.printed("box").filter("Fatal Error").isEmpty(), 20000);
        const qint64 pid = start.process.processId();
        QVERIFY(pid > 0 && start.process.state() == QProcess::Running);
        ::kill(pid_t(pid), signal);
        QVERIFY(start.process.waitForFinished(5000));
        QCOMPARE(start.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(start.process.exitCode(), 128 + signal);
        if (!folder)
            return;

        const QString said = launch(catalogue);
        const QStringList aside = QDir(product.product()).entryList({"data.db.damaged-*"});
        QVERIFY2(aside.size() == 1 && QDir(product.product() + "/" + aside.first() + "/mine").exists(), qPrintable(said));
        QCOMPARE(readFile(catalogue), readFile(MFS_TEST_CATALOGUE));
        QVERIFY2(said.contains(catalogue + " was damaged (it is not a file); it is kept as "), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestDamagedCatalogue)
#include "tst_damagedcatalogue.moc"
