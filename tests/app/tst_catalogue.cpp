#include "catalogue/catalogue.h"
#include "app/mainwindow.h"
#include "support/testsupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

// Writes a catalogue of our own over the scratch product's copy. The tables
// carry an extra trailing column to show that only leading positions count.
void writeCatalogue(const QString &path, const QStringList &inserts)
{
    QFile::remove(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        const QStringList schema{
            "CREATE TABLE tbl_AddCategories (id INTEGER PRIMARY KEY, caption TEXT, d TEXT, "
            "icon TEXT, title TEXT, filter TEXT, extra TEXT)",
            "CREATE TABLE tbl_FormatCategories (id INTEGER PRIMARY KEY, caption TEXT, d TEXT, "
            "icon TEXT, device INTEGER, count INTEGER, default_pos INTEGER, extra TEXT)",
            "CREATE TABLE tbl_OutputCategories (id INTEGER PRIMARY KEY, caption TEXT, "
            "format INTEGER, icon TEXT, ext TEXT, count INTEGER, default_pos INTEGER, d TEXT, "
            "args TEXT, extra TEXT)"};
        for (const QString &s : schema + inserts)
            QVERIFY2(q.exec(s), qPrintable(s));
        db.close();
    }
    QSqlDatabase::removeDatabase("writer");
}

QStringList column(const QStringList &flat, int step, int pos)
{
    QStringList out;
    for (int i = pos; i < flat.size(); i += step)
        out << flat.at(i);
    return out;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void listsTakeLeadingColumnsByPosition()
    {
        ScratchProduct product;
        writeCatalogue(product.catalogue(),
                       {"INSERT INTO tbl_AddCategories VALUES (1,'Audio',NULL,'a.png','T1','F1','x')",
                        "INSERT INTO tbl_AddCategories VALUES (2,'Video','v','v.png',NULL,'F2','x')",
                        "INSERT INTO tbl_FormatCategories VALUES (5,'MP3',NULL,'m.png',0,0,1,'x')",
                        "INSERT INTO tbl_OutputCategories VALUES "
                        "(9,'128',5,'i.png','mp3',0,1,NULL,'-vn -b:a 128k','x')"});
        PromptRecorder prompts;
        MainWindow window;
        QCOMPARE(window.getAddModel(), (QStringList{"1", "Audio", "", "a.png", "T1", "F1",
                                                    "2", "Video", "v", "v.png", "", "F2"}));
        QCOMPARE(window.getFormatModel(), (QStringList{"5", "MP3", "", "m.png", "0", "0", "1"}));
        QCOMPARE(window.getDeviceModel(), QStringList());
        QCOMPARE(window.getOutputModel("5"),
                 (QStringList{"9", "128", "5", "i.png", "mp3", "0", "1", "", "-vn -b:a 128k"}));
        QCOMPARE(window.getOutputModel("6"), QStringList());
    }

    void orderFollowsUseThenDefaultPosition()
    {
        ScratchProduct product;
        writeCatalogue(product.catalogue(),
                       {"INSERT INTO tbl_FormatCategories VALUES (1,'A',NULL,'',0,0,2,'')",
                        "INSERT INTO tbl_FormatCategories VALUES (2,'B',NULL,'',0,0,1,'')",
                        "INSERT INTO tbl_FormatCategories VALUES (3,'C',NULL,'',0,0,3,'')",
                        "INSERT INTO tbl_FormatCategories VALUES (4,'Dev1',NULL,'',1,0,2,'')",
                        "INSERT INTO tbl_FormatCategories VALUES (5,'Dev2',NULL,'',1,0,1,'')",
                        "INSERT INTO tbl_OutputCategories VALUES (10,'p1',1,'','x',0,1,'','-a','')",
                        "INSERT INTO tbl_OutputCategories VALUES (11,'p2',1,'','x',0,2,'','-b','')"});
        PromptRecorder prompts;
        {
            MainWindow window;
            QCOMPARE(column(window.getFormatModel(), 7, 1), (QStringList{"B", "A", "C"}));
            QCOMPARE(column(window.getDeviceModel(), 7, 1), (QStringList{"Dev2", "Dev1"}));
            QCOMPARE(column(window.getOutputModel("1"), 9, 1), (QStringList{"p1", "p2"}));

            window.incrementCount(3, 11);
            // Presets are read on every request and reorder at once ...
            QCOMPARE(column(window.getOutputModel("1"), 9, 1), (QStringList{"p2", "p1"}));
            // ... while the start-up lists keep their order until the next start.
            QCOMPARE(column(window.getFormatModel(), 7, 1), (QStringList{"B", "A", "C"}));
        }
        MainWindow next;
        QCOMPARE(column(next.getFormatModel(), 7, 1), (QStringList{"C", "B", "A"}));
        QCOMPARE(column(next.getFormatModel(), 7, 5), (QStringList{"1", "0", "0"}));
    }

    void oddIdTextsFindNothing()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow window;
        QCOMPARE(window.getOutputModel("1 OR 1=1"), QStringList());
        QCOMPARE(window.getOutputModel(""), QStringList());
    }

    void unreadableCatalogueGivesEmptyLists()
    {
        ScratchProduct product;
        QFile f(product.catalogue());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("this is not a database");
        f.close();
        PromptRecorder prompts;
        MainWindow window;
        QVERIFY(window.getAddModel().isEmpty());
        QVERIFY(window.getFormatModel().isEmpty());
        QVERIFY(window.getOutputModel("1").isEmpty());
        window.incrementCount(1, 1);
        QVERIFY(prompts.boxes.isEmpty());
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
