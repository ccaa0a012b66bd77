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

// Each row as "x Track 1 4:07", x for ticked and - for not.
QStringList rows(const SelectCD &d)
{
    QStringList out;
    for (int i = 0; i < d.itemTree()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *it = d.itemTree()->topLevelItem(i);
        out << (it->checkState(0) == Qt::Checked ? "x " : "- ") + it->text(1) + " " + it->text(2);
    }
    return out;
}

QStringList names(const QSignalSpy &added)
{
    QStringList out;
    for (const QList<QVariant> &call : added)
        out << QFileInfo(call.at(0).toStringList().value(0)).fileName();
    return out;
}

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
        SelectCD d(nullptr, doubles(disc));
        d.scanDrives();
        d.show();
        const QStringList all{"x Track 1 4:07", "x Track 2 12:30", "x Track 3 0:00", "- Track 4 (data) 1:00"};
        QCOMPARE(rows(d), all);
        QTest::mouseClick(d.selectNoneButton(), Qt::LeftButton);
        QCOMPARE(rows(d).filter(QRegularExpression("^x")), QStringList());
        QTest::mouseClick(d.selectAllButton(), Qt::LeftButton);
        QCOMPARE(rows(d), all);
        QVERIFY(!d.itemTree()->topLevelItem(3)->flags().testFlag(Qt::ItemIsEnabled) && disc->balanced);
        QCOMPARE(d.driveCombo()->currentText(), "fake"); // no disc name
    }

    // Real libcdio: twelve tracks, 2 and 5 left out.
    void ripsTickedTracks()
    {
        ScratchProduct product;
        PromptRecorder prompts;
        const CdImage image = makeCdImage(images.path(), "twelve", QList<int>(12, 19), 1, "TITLE \"Twelve\"\n");
        Drives::setLister([&] { return QStringList{image.cue}; });
        SelectCD d;
        d.scanDrives();
        d.show();
        QCOMPARE(d.driveCombo()->currentText(), image.cue + " Twelve");
        d.itemTree()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        d.itemTree()->topLevelItem(4)->setCheckState(0, Qt::Unchecked);
        QSignalSpy added(&d, &SelectCD::addAudioCD);
        QStringList labels;
        connect(d.findChild<CDRipThread *>(), &CDRipThread::startedFile, &d,
                [&] { labels << d.statusLabel()->text(); });
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QVERIFY(!d.okButton()->isEnabled() && !d.driveCombo()->isEnabled() && d.cancelButton()->isEnabled());
        QTRY_VERIFY(!d.isVisible());
        QCOMPARE(names(added), QStringList({"Track 1.wav", "Track 3.wav", "Track 4.wav", "Track 6.wav", "Track 7.wav",
                                            "Track 8.wav", "Track 9.wav", "Track 10.wav", "Track 11.wav",
                                            "Track 12.wav"}));
        QVERIFY(QFile::exists(added.last().at(0).toStringList().value(0)));
        QCOMPARE(labels.size(), 10);
        QCOMPARE(labels.first() + labels.last(), "Ripping track 1 of 10...Ripping track 10 of 10...");
        QCOMPARE(prompts.texts(), QStringList());
        d.ripStarted(3), d.startedFile(2), d.updateProgress(50);
        QCOMPARE(d.progressBar()->value(), 49); // 33.3 + 16.6
    }

    // Boxes, hand-overs and the dialog's state for a drive that fails, OK
    // pressed again while a rip goes on after a failed track, and Cancel.
    void duringRip_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<qint64>("holdAt"); // sector whose read waits for the test
        QTest::addColumn<QString>("press");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("open");
        QTest::newRow("drive unreadable") << "toc" << qint64(-1) << "" << QStringList{"Cannot open CD drive fake"}
                                          << QStringList() << true;
        QTest::newRow("OK while ripping") << "read" << qint64(45) << "ok"
                                          << QStringList{"Cannot extract track 1", "Ripping is still in progress. Wait "
                                                         "until it has finished, or press Cancel."}
                                          << QStringList{"Track 2.wav", "Track 3.wav"} << false;
        QTest::newRow("Cancel") << "" << qint64(0) << "cancel" << QStringList{"Ripping was cancelled."} << QStringList()
                                << false;
    }
    void duringRip()
    {
        QFETCH(QString, fault);
        QFETCH(qint64, holdAt);
        QFETCH(QString, press);
        ScratchProduct product;
        PromptRecorder prompts;
        auto disc = std::make_shared<FakeDisc>();
        disc->tocFails = fault == "toc";
        disc->faultSector = fault == "read" ? 0 : -1;
        std::atomic<bool> held{false}, release{false};
        disc->onRead = [&](quint32 sector) {
            for (held = held || sector == holdAt; held && !release;)
                QThread::msleep(1);
        };
        SelectCD d(nullptr, doubles(disc));
        d.scanDrives();
        d.show();
        QSignalSpy added(&d, &SelectCD::addAudioCD);
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QTRY_VERIFY(held || holdAt < 0);
        if (press == "ok") {
            QTRY_VERIFY(d.okButton()->isEnabled());
            QTest::mouseClick(d.selectNoneButton(), Qt::LeftButton);
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        } else if (press == "cancel") {
            QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
            QVERIFY(!d.isVisible() && d.okButton()->isEnabled() && d.statusLabel()->text().isEmpty());
        }
        release = true;
        QFETCH(QStringList, boxes);
        QTRY_COMPARE(prompts.texts(), boxes);
        QFETCH(bool, open);
        QTRY_COMPARE(d.isVisible(), open);
        QTEST(names(added), "files");
        QVERIFY(d.okButton()->isEnabled() && d.progressBar()->value() == 0);
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
        QTest::newRow("enhanced CD") << "enhanced.cue" << ""
                                     << QStringList{"x Track 1 0:01", "- Track 2 (data) 0:02"};
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
        QFETCH(QString, image);
        PromptRecorder prompts;
        prompts.fileAnswers = {{dir + "/" + image}};
        SelectCD d;
        QTest::mouseClick(d.openImageButton(), Qt::LeftButton);
        QCOMPARE(prompts.dialogCaptions, QStringList{"Open Disc Image"});
        QFETCH(QString, box);
        QCOMPARE(prompts.texts(), box.isEmpty() ? QStringList() : QStringList{box.arg(dir + "/" + image)});
        QTEST(rows(d), "tracks");
        QCOMPARE(d.driveCombo()->currentData().toString(), box.isEmpty() ? dir + "/" + image : "");
        QCOMPARE(d.driveCombo()->currentText(), box.isEmpty() ? dir + "/" + image + " ENHANCED" : ""); // ISO 9660 volume
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
        auto *dialog = window.findChild<SelectCD *>();
        // OK once the modal dialog shows its track.
        QTimer user;
        connect(&user, &QTimer::timeout, dialog, [&] {
            if (dialog->isVisible() && dialog->itemTree()->topLevelItemCount() == 1 && user.isActive()) {
                user.stop();
                QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            }
        });
        user.start(50);
        QVERIFY(PageDriver::click(window, "addTile:CD"));
        QTRY_COMPARE(PageDriver::eval(window, "return mediaList.mediaListModel.count").toInt(), 1);
        QCOMPARE(PageDriver::eval(window, "return mediaList.mediaListModel.get(0).source").toString(), "cd");
        QTRY_VERIFY(!PageDriver::eval(window, "return mediaList.mediaListModel.get(0).loading").toBool());
        for (const char *step : {"tabHeader1", "formatTile:MP3", "outputTile:128 kbps", "formatNext", "convertButton"}) {
            QTRY_VERIFY2(PageDriver::shown(window, step), step);
            QVERIFY(PageDriver::click(window, step));
        }
        QTRY_COMPARE_WITH_TIMEOUT(
            PageDriver::eval(window, "return mediaList.mediaListModel.get(0).currentStatus").toString(), "complete",
            20000);
        const QStringList albums = QDir(home.filePath("Music")).entryList({"Album *"}, QDir::Dirs);
        QCOMPARE(albums.size(), 1);
        QVERIFY(QFileInfo(home.filePath("Music/" + albums.first() + "/Track 1.mp3")).size() > 1000);
        QCOMPARE(prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestSelectCD)
#include "tst_selectcd.moc"
