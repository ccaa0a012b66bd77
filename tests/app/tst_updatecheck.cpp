#include "app/mainwindow.h"
#include "app/updatecheck.h"
#include "support/testsupport.h"

#include <QDesktopServices>
#include <QImageReader>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// A one-page web site on 127.0.0.1 that answers every GET with `body`,
// or holds the first request unanswered when asked to.
class TinySite : public QObject
{
    Q_OBJECT
public:
    TinySite()
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { answer(s); });
        });
    }
    QString url() const { return "http://127.0.0.1:" + QString::number(server.serverPort()); }

    QByteArray body;
    int status = 200;
    bool holdFirst = false;
    QStringList paths;

private:
    void answer(QTcpSocket *s)
    {
        const QByteArray request = s->readAll();
        paths << QString::fromLatin1(request.split(' ').value(1));
        if (holdFirst && paths.size() == 1)
            return;
        s->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }
    QTcpServer server;
};

class UrlCatcher : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened << url.toString(); }

public:
    QStringList opened;
};

class TestUpdateCheck : public QObject
{
    Q_OBJECT

    UrlCatcher catcher;

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler("http", &catcher, "open");
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("http");
    }
    void init()
    {
        catcher.opened.clear();
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("newer");

        QTest::newRow("minor step") << QByteArray("0.2\nFaster\nSmaller") << true;
        QTest::newRow("major step") << QByteArray("1.0") << true;
        QTest::newRow("third component") << QByteArray("0.1.5") << true;
        QTest::newRow("same") << QByteArray("0.1") << false;
        QTest::newRow("same, spelt long") << QByteArray("0.1.0\n") << false;
        QTest::newRow("older") << QByteArray("0.0.9") << false;
        QTest::newRow("padded") << QByteArray("  0.2\r\nX") << true;
        QTest::newRow("not a version") << QByteArray("<html>Not here</html>") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("stops at NUL") << QByteArray("0.1\0" "9.9", 7) << false;
    }

    void answers()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, newer);
        QCOMPARE(UpdateCheck::evaluate(body, "0.1").newer, newer);
    }

    void announcementText()
    {
        QCOMPARE(UpdateCheck::evaluate("0.2\nFaster\nSmaller", "0.1").message,
                 QString("Version 0.2 is available for download!\n\nNew features:\nFaster\n"
                         "Smaller\n\nWould you like to download this now?"));
    }

    void checks_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("online");
        QTest::addColumn<QStringList>("boxes");

        const QStringList none;
        const QStringList offer{"New Update Available"};
        QTest::newRow("automatic, newer") << QByteArray("0.2\nFaster") << 200 << false << true << offer;
        QTest::newRow("automatic, up to date") << QByteArray("0.1") << 200 << false << true << none;
        QTest::newRow("automatic, offline") << QByteArray() << 200 << false << false << none;
        QTest::newRow("automatic, missing page") << QByteArray("9.9") << 404 << false << true << none;
        QTest::newRow("menu, newer") << QByteArray("0.2\nFaster") << 200 << true << true << offer;
        QTest::newRow("menu, up to date")
            << QByteArray("0.1") << 200 << true << true
            << QStringList{"You have the most up to date version installed"};
        QTest::newRow("menu, offline") << QByteArray() << 200 << true << false
                                       << QStringList{"Unable to check for updates at this time"};
        QTest::newRow("menu, missing page") << QByteArray("9.9") << 404 << true << true
                                            << QStringList{"Unable to check for updates at this time"};
    }

    void checks()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, fromMenu);
        QFETCH(bool, online);
        QFETCH(QStringList, boxes);

        ScratchProduct product;
        PromptRecorder prompts;
        TinySite site;
        site.body = body;
        site.status = status;
        qputenv("MEDIAFORGESTUDIO_SITE", (online ? site.url() : "http://127.0.0.1:1").toLatin1());

        MainWindow window;
        // A menu check replaces the automatic one still pending.
        if (fromMenu)
            window.updateAction();
        if (boxes.isEmpty()) {
            QTRY_VERIFY(!online || site.paths.size() == 1);
            QTest::qWait(300);
        } else {
            QTRY_COMPARE(prompts.boxes.size(), boxes.size());
        }
        QStringList shown;
        for (const auto &b : prompts.boxes)
            shown << (b.title == "Warning" ? b.text : b.title);
        QCOMPARE(shown, boxes);
        if (online)
            QCOMPARE(site.paths.last(), QString("/current-version.txt"));
        // The offer is answered No by default: nothing opens.
        QCOMPARE(catcher.opened, QStringList());
        qunsetenv("MEDIAFORGESTUDIO_SITE");
    }

    void yesOpensTheDownloadPage()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        prompts.answers << QMessageBox::Yes;
        TinySite site;
        site.body = "0.2\nFaster\nSmaller";
        qputenv("MEDIAFORGESTUDIO_SITE", site.url().toLatin1());
        MainWindow window;
        QTRY_COMPARE(catcher.opened.size(), 1);
        QCOMPARE(catcher.opened.first(), site.url() + "/update?version=0.1");
        QCOMPARE(prompts.boxes.first().icon, QMessageBox::Question);
        QCOMPARE(prompts.boxes.first().buttons, QMessageBox::Yes | QMessageBox::No);

        window.websiteAction();
        window.manualAction();
        window.reportBugAction();
        QCOMPARE(catcher.opened.mid(1), (QStringList{site.url() + "/", site.url() + "/manual",
                                                     site.url() + "/support"}));
        qunsetenv("MEDIAFORGESTUDIO_SITE");
    }

    void newerCheckReplacesPendingOne()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        TinySite site;
        site.body = "0.1";
        site.holdFirst = true;
        qputenv("MEDIAFORGESTUDIO_SITE", site.url().toLatin1());
        MainWindow window; // its automatic check is held by the site
        QTRY_COMPARE(site.paths.size(), 1);
        window.updateAction();
        QTRY_COMPARE(prompts.boxes.size(), 1);
        QTest::qWait(200);
        QCOMPARE(prompts.texts(), QStringList{"You have the most up to date version installed"});
        qunsetenv("MEDIAFORGESTUDIO_SITE");
    }

    void aboutBox()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        MainWindow window;
        window.aboutAction();
        QCOMPARE(prompts.boxes.size(), 1);
        const Prompts::Box box = prompts.boxes.first();
        QCOMPARE(box.title, QString("About"));
        QCOMPARE(box.text, QString("MediaForgeStudio v0.1"));
        QCOMPARE(box.informativeText,
                 QString("This software uses libraries from the FFmpeg project under the LGPLv2.1"));
        QCOMPARE(box.iconPixmap.size(), QSize(32, 32));

        QImageReader ico(":/qml/images/icon.ico");
        QList<int> sizes;
        for (int i = 0; i < ico.imageCount(); ++i) {
            QVERIFY(ico.jumpToImage(i));
            sizes << ico.read().width();
        }
        QCOMPARE(sizes, (QList<int>{128, 16, 32, 64, 24}));
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
