#include "app/mainwindow.h"
#include "app/selectcd.h"
#include "cddouble.h"
#include "cdimage.h"
#include "disc/cd/cdripthread.h"
#include "disc/drives.h"
#include "support/testsupport.h"
#include "ui/pagedriver.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// A shown dialog on the drive double (or on libcdio without a disc), with
// its hand-overs and boxes.
struct Shown {
    ScratchProduct product;
    PromptRecorder prompts;
    SelectCD d;
    QSignalSpy added{&d, &SelectCD::addAudioCD};
    explicit Shown(const std::shared_ptr<FakeDisc> &disc = {}) : d(nullptr, disc ? doubles(disc) : CdDeviceFactory())
    {
        d.scanDrives();
        d.show();
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Each row as "x Track 1 4:07", x for ticked and - for not.
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < d.itemTree()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *it = d.itemTree()->topLevelItem(i);
            out << (it->checkState(0) == Qt::Checked ? "x " : "- ") + it->text(1) + " " + it->text(2);
        }
        return out;
    }
    QStringList names() const
    {
        QStringList out;
        for (const QList<QVariant> &call : added)
            out << QFileInfo(call.at(0).toStringList().value(0)).fileName();
        return out;
    }
};

} // namespace

class TestSelectCD : public QObject
{
    Q_OBJECT
    QTemporaryDir images;

private slots:
    void init() { Drives::setLister([] { return QStringList{"fake"}; }); }
    void cleanup() { Drives::setLister({}); }

    void listsTracks()
    {
        auto disc = std::make_shared<FakeDisc>();
        disc->lengths = {247 * 75 + 74, 750 * 75, 74, 4500};
        disc->dataTracks = {3};
        Shown s(disc);
        const QStringList all{"x Track 1 4:07", "x Track 2 12:30", "x Track 3 0:00", "- Track 4 (data) 1:00"};
        QCOMPARE(s.rows(), all);
        s.click(s.d.selectNoneButton());
        QCOMPARE(s.rows().filter(QRegularExpression("^x")), QStringList());
        s.click(s.d.selectAllButton());
        QCOMPARE(s.rows(), all);
        QVERIFY(!s.d.itemTree()->topLevelItem(3)->flags().testFlag(Qt::ItemIsEnabled) && disc->balanced);
        QCOMPARE(s.d.driveCombo()->currentText(), "fake"); // no disc name
    }

    // Real libcdio: twelve tracks, 2 and 5 left out.
    void ripsTickedTracks()
    {
        const CdImage image = makeCdImage(images.path(), "twelve", QList<int>(12, 19), 1, "TITLE \"Twelve\"\n");
        Drives::setLister([&] { return QStringList{image.cue}; });
        Shown s;
        QCOMPARE(s.d.driveCombo()->currentText(), image.cue + " Twelve"); // the CD-TEXT title
        s.d.itemTree()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        s.d.itemTree()->topLevelItem(4)->setCheckState(0, Qt::Unchecked);
        QStringList labels;
        connect(s.d.findChild<CDRipThread *>(), &CDRipThread::startedFile, &s.d,
                [&] { labels << s.d.statusLabel()->text(); });
        s.click(s.d.okButton());
        QVERIFY(!s.d.okButton()->isEnabled() && !s.d.driveCombo()->isEnabled() && s.d.cancelButton()->isEnabled());
        QTRY_VERIFY(!s.d.isVisible());
        QCOMPARE(s.names().join(',').remove(".wav").remove("Track "), "1,3,4,6,7,8,9,10,11,12");
        QVERIFY(QFile::exists(s.added.last().at(0).toStringList().value(0)));
        QCOMPARE(labels.size(), 10);
        QCOMPARE(labels.first() + labels.last(), "Ripping track 1 of 10...Ripping track 10 of 10...");
        QCOMPARE(s.prompts.texts(), QStringList());
        s.d.ripStarted(3), s.d.startedFile(2), s.d.updateProgress(50);
        QCOMPARE(s.d.progressBar()->value(), 49); // 33.3 + 16.6
    }

    // Boxes, hand-overs and the dialog's state for a drive that fails, OK
    // pressed again while a rip goes on after a failed track, and Cancel.
    void duringRip_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<qint64>("holdAt"); // the read of this sector waits for the test
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("drive unreadable") << "toc" << qint64(-1) << QStringList{"Cannot open CD drive fake"}
                                          << QStringList();
        QTest::newRow("OK while ripping") << "read" << qint64(45)
                                          << QStringList{"Cannot extract track 1", "Ripping is still in progress. Wait "
                                                         "until it has finished, or press Cancel."}
                                          << QStringList{"Track 2.wav", "Track 3.wav"};
        QTest::newRow("Cancel") << "cancel" << qint64(0) << QStringList{"Ripping was cancelled."} << QStringList();
    }
    void duringRip()
    {
        QFETCH(QString, fault);
        QFETCH(qint64, holdAt);
        auto disc = std::make_shared<FakeDisc>();
        disc->tocFails = fault == "toc";
        disc->faultSector = fault == "read" ? 0 : -1;
        std::atomic<bool> held{false}, release{false};
        disc->onRead = [&](quint32 sector) {
            for (held = held || sector == holdAt; held && !release;)
                QThread::msleep(1);
        };
        Shown s(disc);
        s.click(s.d.okButton());
        QTRY_VERIFY(held || holdAt < 0);
        if (fault == "read") {
            QTRY_VERIFY(s.d.okButton()->isEnabled());
            s.click(s.d.selectNoneButton());
            s.click(s.d.okButton());
        } else if (fault == "cancel") {
            s.click(s.d.cancelButton());
            QVERIFY(!s.d.isVisible() && s.d.okButton()->isEnabled() && s.d.statusLabel()->text().isEmpty());
        }
        release = true;
        QFETCH(QStringList, boxes);
        QTRY_COMPARE(s.prompts.texts(), boxes);
        QTRY_COMPARE(s.d.isVisible(), fault == "toc");
        QTEST(s.names(), "files");
        QVERIFY(s.d.okButton()->isEnabled() && s.d.progressBar()->value() == 0);
    }

    // "Open Image...": a clear word for what can't be used, else the image
    // as a drive.
    void openImage_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("tracks");
        QTest::newRow("missing") << "none.cue" << "The disc image %1 cannot be found." << QStringList();
        QTest::newRow("malformed") << "junk.cue" << "%1 cannot be read as a disc image. Its .bin file must lie beside "
                                                    "it under the same name." << QStringList();
        QTest::newRow("no audio") << "iso.cue" << "The disc image %1 holds no audio tracks." << QStringList();
        QTest::newRow("enhanced CD") << "enhanced.cue" << "" << QStringList{"x Track 1 0:01", "- Track 2 (data) 0:02"};
    }
    void openImage()
    {
        const QString dir = images.path();
        if (!QFile::exists(dir + "/iso.cue")) {
            makeCdImage(dir, "enhanced", {75}, 1, {}, "ENHANCED");
            writeFile(dir + "/junk.cue", "FILE junk\n");
            QFile::copy(dir + "/data.iso", dir + "/iso.bin");
            writeFile(dir + "/iso.cue", "FILE \"iso.bin\" BINARY\nTRACK 01 MODE1/2048\nINDEX 01 00:00:00\n");
        }
        Drives::setLister({});
        Shown s;
        QFETCH(QString, image);
        const QString path = dir + "/" + image;
        s.prompts.fileAnswers = {{path}};
        s.click(s.d.openImageButton());
        QCOMPARE(s.prompts.dialogCaptions, QStringList{"Open Disc Image"});
        QFETCH(QString, box);
        QCOMPARE(s.prompts.texts(), box.isEmpty() ? QStringList() : QStringList{box.arg(path)});
        QTEST(s.rows(), "tracks");
        // The entry: the image as the id, and the ISO 9660 volume as the disc's name.
        QCOMPARE(s.d.driveCombo()->currentData().toString() + s.d.driveCombo()->currentText(),
                 box.isEmpty() ? path + path + " ENHANCED" : "");
    }

    // The CD tile, a rip from an image, and its track converted to MP3 into
    // an album folder in the music folder.
    void rippedTrackConvertsFromTheWindow()
    {
        ScratchProduct product;
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
        const CdImage image = makeCdImage(images.path(), "window", {150});
        Drives::setLister([&] { return QStringList{image.cue}; });
        PromptRecorder prompts;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The user presses OK once the modal dialog shows the track.
        auto *dialog = window.findChild<SelectCD *>();
        QTimer user;
        connect(&user, &QTimer::timeout, dialog, [&] {
            if (dialog->isVisible() && dialog->itemTree()->topLevelItemCount() == 1 && user.isActive()) {
                user.stop();
                QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            }
        });
        user.start(50);
        QVERIFY(PageDriver::click(window, "addTile:CD"));
        auto row = [&](const QString &role) {
            return PageDriver::eval(window, "return mediaList.mediaListModel.get(0)." + role);
        };
        QTRY_COMPARE(row("source").toString(), "cd");
        QTRY_VERIFY(!row("loading").toBool());
        for (const char *step :
             {"tabHeader1", "formatTile:MP3", "outputTile:128 kbps", "formatNext", "convertButton"}) {
            QTRY_VERIFY2(PageDriver::shown(window, step), step);
            QVERIFY(PageDriver::click(window, step));
        }
        QTRY_COMPARE_WITH_TIMEOUT(row("currentStatus").toString(), "complete", 20000);
        const QStringList albums = QDir(home.filePath("Music")).entryList({"Album *"}, QDir::Dirs);
        QCOMPARE(albums.size(), 1);
        QCOMPARE(row("finalOutput").toString(), home.filePath("Music/" + albums.first() + "/Track 1.mp3"));
        QVERIFY(QFileInfo(row("finalOutput").toString()).size() > 1000);
        QCOMPARE(prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestSelectCD)
#include "tst_selectcd.moc"
