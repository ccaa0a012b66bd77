#include "app/mainwindow.h"
#include "app/tempfiles.h"
#include "support/testsupport.h"

#include <QtTest>

#include <thread>

namespace {

void makeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

} // namespace

class TestTempFiles : public QObject
{
    Q_OBJECT

private slots:
    void guard_data()
    {
        QTest::addColumn<QString>("target");   // file made before the call
        QTest::addColumn<QString>("argument"); // what removeFile is given
        QTest::addColumn<bool>("removed");

        // TEMP stands for the temporary folder with its separator, OUT for a
        // folder beside the product folder.
        QTest::newRow("file in temp") << "TEMP/a.png" << "TEMP/a.png" << true;
        QTest::newRow("double separators") << "TEMP/b.png" << "TEMP//b.png" << true;
        QTest::newRow("file outside") << "OUT/song.mp3" << "OUT/song.mp3" << false;
        QTest::newRow("missing file") << "" << "TEMP/none.png" << false;
        QTest::newRow("climbs out with ..") << "OUT/x.txt" << "TEMP/../../Documents/x.txt" << false;
        QTest::newRow("climbs out, comes back") << "TEMP/c.png" << "TEMP/sub/../c.png" << true;
        QTest::newRow("temp without separator") << "TEMP/d.png" << "TEMPNOSEP" << false;
        QTest::newRow("temp as prefix of a sibling") << "OUT2/e.png" << "TEMP/../temp2/e.png" << false;
    }

    void guard()
    {
        QFETCH(QString, target);
        QFETCH(QString, argument);
        QFETCH(bool, removed);

        ScratchProduct product;
        const QString temp = product.temp();
        QDir().mkpath(temp);
        const QString out = product.appData() + "/Documents";
        auto expand = [&](QString s) {
            s.replace("TEMPNOSEP", temp.chopped(1));
            s.replace("TEMP/", temp);
            s.replace("OUT2/", product.product() + "/temp2/");
            s.replace("OUT/", out + "/");
            return s;
        };
        if (!target.isEmpty())
            makeFile(expand(target));

        QCOMPARE(TempFiles::remove(expand(argument), temp), removed);
        if (!target.isEmpty())
            QCOMPARE(QFileInfo::exists(expand(target)), !removed);
        QVERIFY(QDir(temp).exists() || removed);
    }

    void folderTreeIsDeletedDepthFirst()
    {
        ScratchProduct product;
        const QString rip = product.temp() + "1371000000";
        makeFile(rip + "/01.wav");
        makeFile(rip + "/nested/deeper/02.wav");
        QVERIFY(TempFiles::remove(rip, product.temp()));
        QVERIFY(!QFileInfo::exists(rip));
        QVERIFY(QDir(product.temp()).exists());
    }

    void hiddenEntriesKeepTheirFolder()
    {
        ScratchProduct product;
        const QString dir = product.temp() + "staging";
        makeFile(dir + "/a.mpg");
        makeFile(dir + "/.hidden");
        QVERIFY(!TempFiles::remove(dir, product.temp()));
        QVERIFY(!QFileInfo::exists(dir + "/a.mpg"));
        QVERIFY(QFileInfo::exists(dir + "/.hidden"));
    }

    void tempFolderItselfWithSeparator()
    {
        ScratchProduct product;
        makeFile(product.temp() + "a.png");
        QVERIFY(TempFiles::remove(product.temp(), product.temp()));
        QVERIFY(!QFileInfo::exists(product.temp()));
    }

    void linksAreRemovedNotFollowed()
    {
        ScratchProduct product;
        const QString temp = product.temp();
        const QString outside = product.appData() + "/Music";
        makeFile(outside + "/keep.mp3");
        QDir().mkpath(temp);

        // A link to a folder outside: removing the tree removes the link only.
        QVERIFY(QFile::link(outside, temp + "music-link"));
        makeFile(temp + "tree/inner.png");
        QVERIFY(QFile::link(outside, temp + "tree/music-link"));
        QVERIFY(QFile::link(outside + "/keep.mp3", temp + "tree/file-link"));
        QVERIFY(TempFiles::remove(temp + "tree", temp));
        QVERIFY(QFileInfo::exists(outside + "/keep.mp3"));

        // A path through a linked folder leads outside and is refused.
        QVERIFY(!TempFiles::remove(temp + "music-link/keep.mp3", temp));
        QVERIFY(QFileInfo::exists(outside + "/keep.mp3"));

        // The link itself may go, and a dangling link too.
        QVERIFY(TempFiles::remove(temp + "music-link", temp));
        QVERIFY(QFileInfo::exists(outside + "/keep.mp3"));
        QVERIFY(QFile::link(temp + "gone", temp + "dangling"));
        QVERIFY(TempFiles::remove(temp + "dangling", temp));
        QVERIFY(!QFileInfo(temp + "dangling").isSymLink());
    }

    void lockedFileIsRetriedForOneSecond()
    {
        ScratchProduct product;
        const QString held = product.temp() + "held/out.mpg";
        makeFile(held);
        if (!setLocked(held, true))
            QSKIP("this file system can't make a file undeletable");

        QElapsedTimer clock;
        clock.start();
        QVERIFY(!TempFiles::remove(held, product.temp()));
        const qint64 spent = clock.elapsed();
        QVERIFY2(spent >= 990 && spent < 1500, qPrintable(QString::number(spent)));
        QVERIFY(QFileInfo::exists(held));

        // Released after half a second: deleted within the second.
        std::thread releaser([held] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            setLocked(held, false);
        });
        clock.restart();
        const bool removed = TempFiles::remove(held, product.temp());
        releaser.join();
        setLocked(held, false);
        QVERIFY(removed);
        QVERIFY(clock.elapsed() < 990);
    }

    void backendUsesTheCurrentTempFolder()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow window;
        QCOMPARE(window.getTempFolder(), product.appData() + "/MediaForgeStudio/temp/");
        makeFile(product.temp() + "t.png");
        QVERIFY(window.removeFile(product.temp() + "t.png"));
        makeFile(product.appData() + "/user.mp3");
        QVERIFY(!window.removeFile(product.appData() + "/user.mp3"));
        QVERIFY(QFileInfo::exists(product.appData() + "/user.mp3"));
    }
};

QTEST_MAIN(TestTempFiles)
#include "tst_tempfiles.moc"
