// File names as bytes, also on their way to a tool, and files created
// exclusively and removed only when they are still this run's own.
#include "platform/filenames.h"
#include "platform/ownfiles.h"
#include "platform/tools.h"
#include "support/testsupport.h"

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Creates `name` in `folder` by its bytes, as another program would.
bool makeRaw(const QByteArray &path, bool folder = false)
{
    if (folder)
        return ::mkdir(path.constData(), 0777) == 0;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    return fd >= 0 && ::close(fd) == 0;
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void names_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("plain");
        const struct { const char *tag, *bytes; bool plain; } rows[] = {
            {"ascii", "song.wav", true},
            {"utf-8", "caf\xc3\xa9 \xf0\x9f\x8e\xb5.wav", true},
            {"latin-1", "caf\xe9.wav", false},
            {"cut sequence at the end", "a\xc3", false},
            {"overlong slash", "a\xc0\xaf", false},
            {"encoded surrogate", "\xed\xa0\x80", false},
            {"beyond unicode", "\xf4\x90\x80\x80", false},
            {"stray continuation", "\x80\xbf name", false},
        };
        for (const auto &row : rows)
            QTest::newRow(row.tag) << QByteArray(row.bytes) << row.plain;
    }

    // Every byte string comes back as it was, and the file it names is found.
    void names()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, plain);
        const QString name = FileNames::decode(bytes);
        QCOMPARE(FileNames::encode(name), bytes);
        QCOMPARE(FileNames::isPlain(name), plain);
        if (plain)
            QCOMPARE(name, QString::fromUtf8(bytes));

        QTemporaryDir dir;
        const QString path = dir.path() + "/" + name;
        QVERIFY(!FileNames::taken(path));
        QVERIFY(makeRaw(QFile::encodeName(dir.path()) + "/" + bytes));
        QVERIFY(FileNames::isFile(path));
        QCOMPARE(FileNames::size(path), 0);
        // Also gone by its name (QTemporaryDir can't see names that aren't UTF-8).
        QVERIFY(OwnFiles::adopt(path) && OwnFiles::remove(path));
    }

    // A tool gets a name as its bytes, also with an environment of its own.
    void toolArguments()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.path()) + "/caf\xe9.wav";
        QVERIFY(makeRaw(path));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MFS_MARK", "own");
        const Tools::Run run = Tools::run("sh", {"-c", "printf %s \"$MFS_MARK\"; ls -- \"$1\"", "sh",
                                                 FileNames::decode(path)}, 30000, environment);
        ::unlink(path.constData());
        QVERIFY(run.ok());
        QCOMPARE(run.out, "own" + path + "\n");
    }

    // Whatever holds a name makes it taken; nothing is written through a
    // link, and the thing in the way is left as it was.
    void claimFreeName_data()
    {
        QTest::addColumn<QString>("inTheWay");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("free") << "" << "a.mp3";
        QTest::newRow("file") << "file" << "a (New).mp3";
        QTest::newRow("folder") << "folder" << "a (New).mp3";
        QTest::newRow("dangling link") << "dangling" << "a (New).mp3";
        QTest::newRow("link to a file") << "link" << "a (New).mp3";
        QTest::newRow("two taken") << "file,new" << "a (New)(2).mp3";
    }

    void claimFreeName()
    {
        QFETCH(QString, inTheWay);
        QFETCH(QString, chosen);
        QTemporaryDir dir, elsewhere;
        const QString target = elsewhere.filePath("target");
        for (const QString &what : inTheWay.split(',', Qt::SkipEmptyParts)) {
            const QString at = dir.filePath(what == "new" ? "a (New).mp3" : "a.mp3");
            if (what == "file" || what == "new")
                QVERIFY(writeFile(at, "theirs"));
            else if (what == "folder")
                QVERIFY(QDir().mkdir(at));
            else if (what == "dangling")
                QVERIFY(QFile::link(target, at));
            else if (what == "link")
                QVERIFY(writeFile(target, "theirs") && QFile::link(target, at));
        }
        const QString name = OwnFiles::claimFreeName(dir.filePath("a"), "mp3");
        QCOMPARE(name, dir.filePath(chosen));
        QVERIFY(OwnFiles::isOwn(name));
        QCOMPARE(readFile(target), QByteArray(inTheWay == "link" ? "theirs" : ""));
        QCOMPARE(QFileInfo::exists(target), inTheWay == "link");
        QVERIFY(OwnFiles::remove(name));
        QVERIFY(!FileNames::taken(name));
    }

    // Only the very entry this run made is removed: not one put in its
    // place, not one handed on, not a folder's linked contents.
    void removeOnlyOwn()
    {
        QTemporaryDir dir, outside;
        const QString a = dir.filePath("a.wav");
        QVERIFY(OwnFiles::claimFile(a));
        QVERIFY(!OwnFiles::claimFile(a));
        QVERIFY(QFile::remove(a) && writeFile(a, "user's"));
        QVERIFY(!OwnFiles::remove(a));
        QCOMPARE(readFile(a), QByteArray("user's"));

        const QString b = dir.filePath("b.wav");
        QVERIFY(OwnFiles::claimFile(b));
        OwnFiles::forget(b);
        QVERIFY(!OwnFiles::remove(b) && QFileInfo::exists(b));

        const QString staging = dir.filePath("staging");
        QVERIFY(OwnFiles::createFolder(staging));
        QVERIFY(writeFile(outside.filePath("keep.txt"), "keep"));
        QVERIFY(writeFile(staging + "/sub/x.mpg"));
        QVERIFY(QFile::link(outside.path(), staging + "/sub/out"));
        QVERIFY(OwnFiles::remove(staging));
        QVERIFY(!QFileInfo::exists(staging));
        QCOMPARE(readFile(outside.filePath("keep.txt")), QByteArray("keep"));
    }

    // Runs that choose at once get distinct names.
    void claimsAtOnce()
    {
        QTemporaryDir dir;
        QString chosen[8];
        std::vector<std::thread> runs;
        for (QString &name : chosen)
            runs.emplace_back([&dir, &name] { name = OwnFiles::claimFreeName(dir.filePath("in"), "mp3"); });
        for (std::thread &run : runs)
            run.join();
        const QSet<QString> names(std::begin(chosen), std::end(chosen));
        QCOMPARE(names.size(), 8);
        QVERIFY(!names.contains(QString()));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
