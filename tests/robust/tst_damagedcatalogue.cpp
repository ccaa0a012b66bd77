// Catalogues that can't serve: the program refuses them by name, the
// launcher keeps them aside and seeds the pristine copy; one that can't be
// written still serves.
#include "support/session.h"
#include "support/testsupport.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool execute(const QString &path, const QString &statement)
{
    bool ok;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "damage");
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(statement);
    }
    QSqlDatabase::removeDatabase("damage");
    return ok;
}

} // namespace

class TestDamagedCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void catalogues_data()
    {
        QTest::addColumn<QString>("damage"); // how the shipped catalogue is spoilt
        QTest::addColumn<QString>("reason"); // empty: it still serves
        QTest::newRow("random bytes") << "random" << "it is not a database";
        QTest::newRow("empty file") << "empty" << "the table tbl_AddCategories is missing";
        QTest::newRow("other tables") << "CREATE TABLE notes (x)" << "the table tbl_AddCategories is missing";
        QTest::newRow("a table missing") << "DROP TABLE tbl_OutputCategories"
                                         << "the table tbl_OutputCategories is missing";
        QTest::newRow("a column missing") << "ALTER TABLE tbl_FormatCategories DROP COLUMN count"
                                         << "the table tbl_FormatCategories can't be read (no such column: count)";
        QTest::newRow("read-only") << "lock" << "";
    }

    void catalogues()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        ScratchProduct product;
        const QString catalogue = product.catalogue();
        QFile file(catalogue);
        if (damage == "random" || damage == "empty" || damage.startsWith("CREATE")) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            for (int i = 0; damage == "random" && i < 5000; ++i)
                file.write(QByteArray::number(QRandomGenerator::global()->generate()));
            file.close();
        }
        if (damage.contains("TABLE")) {
            QVERIFY(execute(catalogue, damage));
        }
        const QByteArray before = bytes(catalogue);
        const QString input = product.appData() + "/a.wav";
        QCOMPARE(QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=1", input}), 0);
        if (damage == "lock")
            QVERIFY(setLocked(catalogue, true));

        // The program's own start.
        {
            Session start({input}, "mainwnd.conversionComplete.connect(() => mainwnd.close());"
                                   "Object.assign(mainPage, {ffmpegArgs: '-c:a flac', outExt: 'flac', formatId: 1,"
                                   "outputId: 1}); convertTab.convert()", "yes,yes");
            QVERIFY(start.waitEnded());
            QCOMPARE(start.printed("box").filter("Fatal Error"),
                     reason.isEmpty() ? QStringList()
                                      : QStringList{"Fatal Error: The catalogue " + catalogue + " is damaged: "
                                                    + reason + ".  Please try re-installing!"});
            QCOMPARE(start.exitCode(), reason.isEmpty() ? 0 : 1);
            QCOMPARE(QFile::exists(product.appData() + "/a.flac"), reason.isEmpty());
            QCOMPARE(bytes(catalogue), before);
        }

        // The launcher, with the program's check as the program it starts.
        QTemporaryDir prefix;
        QDir().mkpath(prefix.filePath("bin"));
        QDir().mkpath(prefix.filePath("libexec/mediaforgestudio"));
        QDir().mkpath(prefix.filePath("share/mediaforgestudio"));
        QVERIFY(QFile::copy(MFS_TEST_LAUNCHER, prefix.filePath("bin/mediaforgestudio")));
        QVERIFY(QFile::link(MFS_TEST_BIN "/mediaforgestudio", prefix.filePath("libexec/mediaforgestudio/mediaforgestudio")));
        QVERIFY(QFile::copy(MFS_TEST_CATALOGUE, prefix.filePath("share/mediaforgestudio/data.db")));
        QProcess launcher;
        launcher.start("sh", {prefix.filePath("bin/mediaforgestudio"), "--check-catalogue", catalogue});
        QVERIFY(launcher.waitForFinished(20000));
        const QString said = QString::fromLocal8Bit(launcher.readAllStandardError());
        QCOMPARE(launcher.exitCode(), 0);
        const QStringList aside = QDir(product.product()).entryList({"data.db.damaged-*"});
        QCOMPARE(aside.size(), reason.isEmpty() ? 0 : 1);
        QCOMPARE(bytes(catalogue), reason.isEmpty() ? before : bytes(MFS_TEST_CATALOGUE));
        if (!reason.isEmpty()) {
            QCOMPARE(bytes(product.product() + "/" + aside.value(0)), before);
            QVERIFY2(said.contains(catalogue + " was damaged (" + reason + ")"), qPrintable(said));
        } else {
            QCOMPARE(said, QString());
            QVERIFY(setLocked(catalogue, false));
        }
    }
};

QTEST_GUILESS_MAIN(TestDamagedCatalogue)
#include "tst_damagedcatalogue.moc"
