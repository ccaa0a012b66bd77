#include "app/mainwindow.h"

#include "app/droppablewidget.h"
#include "app/pageaccessibility.h"
#include "jobs/jobstore.h"
#include "jobs/runcontroller.h"
#include "jobs/toolengine.h"
#include "app/selectcd.h"
#include "app/selectdrive.h"
#include "app/selectdvd.h"
#include "app/tempfiles.h"
#include "app/updatecheck.h"
#include "catalogue/catalogue.h"
#include "disc/burn/burndisc.h"
#include "disc/burn/burntools.h"
#include "disc/burn/disccheck.h"
#include "disc/drives.h"
#include "media/commandline.h"
#include "media/fileinfothread.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/ownfiles.h"
#include "platform/prompts.h"
#include "platform/textlog.h"
#include "platform/tools.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QQmlContext>
#include <QQuickItem>
#include <QScreen>
#include <QSettings>
#include <QSizeGrip>
#include <QVBoxLayout>
#include <QWindow>

MainWindow::MainWindow(QWidget *parent)
    : QQuickWidget(parent)
    , m_parent(parent)
{
    Catalogue::open(Folders::cataloguePath());
    m_addModel = Catalogue::addModel();
    m_deviceModel = Catalogue::deviceModel();
    m_formatModel = Catalogue::formatModel();

    rootContext()->setContextProperty("mainwnd", this);
    m_jobStore = new JobStore(Folders::productFolder() + Folders::separator() + "jobs.json",
                              [](const QString &text) { return Prompts::question("Confirmation Required", text); },
                              this);
    m_engine = new ToolEngine(this);
    m_engine->setThumbnailFolder(Folders::tempFolder());
    m_jobs = new RunController(m_engine, {Folders::musicFolder(), Folders::videoFolder(), Folders::tempFolder()}, this);
    m_settings = new QSettings(Folders::productFolder() + Folders::separator() + "settings.ini",
                               QSettings::IniFormat, this);
    m_jobs->setSimultaneous(m_settings->value("simultaneousJobs", 0).toInt());
    // The burner dialog's last choices, for the next burn and a restored one.
    DiscOptions disc;
    disc.chapterMinutes = m_settings->value("chapterMinutes", disc.chapterMinutes).toInt();
    disc.gapSeconds = m_settings->value("trackGapSeconds", disc.gapSeconds).toInt();
    disc.verify = m_settings->value("verifyBurns", disc.verify).toBool();
    m_jobs->setDiscOptions(disc);
    connect(m_jobs, &RunController::simultaneousChanged, this,
            [this] { m_settings->setValue("simultaneousJobs", m_jobs->simultaneous()); });
    connect(m_jobStore, &JobStore::restore, m_jobs, &RunController::restore);
    connect(m_jobs, &RunController::runFinished, this, &MainWindow::runFinished);
    rootContext()->setContextProperty("jobs", m_jobs);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setClearColor(Qt::transparent);
    PageAccessibility::install(this);
    setSource(QUrl("qrc:/qml/main.qml"));

    m_dropTarget = new DroppableWidget(this);
    m_probe = new FileInfoThread(this);
    m_selectCd = new SelectCD(this);
    m_selectDvd = new SelectDVD(this);
    m_burner = m_engine->burner();
    m_selectDrive = new SelectDrive(this);

    setMinimumSize(800, 552);
    buildMenus();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QSizeGrip(this), 0, Qt::AlignBottom | Qt::AlignRight);

    m_dragging = false;

    if (QQuickItem *root = rootObject()) {
        connect(root, &QQuickItem::heightChanged, this, &MainWindow::changeDroppableSize);
        connect(root, &QQuickItem::widthChanged, this, &MainWindow::changeDroppableSize);
    }
    connect(m_dropTarget, &DroppableWidget::openCDRipDialog, this, &MainWindow::openCDRipper);
    connect(m_dropTarget, &DroppableWidget::fileDropped, this, &MainWindow::fileDropped);
    connect(m_probe, &FileInfoThread::fileInfoReady, this, &MainWindow::fileInfoReady);
    connect(m_probe, &FileInfoThread::converterMissing, this,
            [this](const QString &message) { Prompts::warning(message, this); });
    connect(m_selectDvd, &SelectDVD::addDVD, this, &MainWindow::addDVD);
    connect(m_selectCd, &SelectCD::addAudioCD, this, &MainWindow::addAudioCD);
    // Every conversion is told to the page, the queue's and those it starts itself.
    connect(m_engine, &JobEngine::started, this, [this](quint64 ticket, const QString &name, const QString &path) {
        // A crash from here on finds the half-written file named.
        if (ticket == m_directTicket) {
            m_directOutput = path;
            m_jobStore->addRunningOutput(path);
        }
        emit startConversion(name);
    });
    connect(m_engine, &JobEngine::progressed, this, [this](quint64, int seconds) { emit conversionProgress(seconds); });
    connect(m_engine, &JobEngine::completed, this,
            [this](quint64 ticket, bool quitOk, const QString &finalOutput, const QString &errorMsg) {
                directEnded(ticket, finalOutput);
                emit conversionComplete(quitOk, finalOutput, errorMsg);
            });
    connect(m_engine, &JobEngine::cancelled, this, [this](quint64 ticket) {
        directEnded(ticket, m_directOutput);
        emit conversionCancelled();
    });
    connect(m_engine, &JobEngine::burnProgress, this, &MainWindow::burnProgress);
    connect(m_engine, &JobEngine::burnTextStatus, this, &MainWindow::burnTextStatus);
    connect(m_engine, &JobEngine::burnEstTime, this, &MainWindow::burnEstTime);
    connect(m_addAudioAction, &QAction::triggered, this, &MainWindow::addAudioFile);
    connect(m_addVideoAction, &QAction::triggered, this, &MainWindow::addVideoFile);
    connect(m_exitAction, &QAction::triggered, this, &MainWindow::exitAction);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::aboutAction);
    connect(m_manualAction, &QAction::triggered, this, &MainWindow::manualAction);
    connect(m_websiteAction, &QAction::triggered, this, &MainWindow::websiteAction);
    connect(m_updateAction, &QAction::triggered, this, &MainWindow::updateAction);
    connect(m_reportBugAction, &QAction::triggered, this, &MainWindow::reportBugAction);
    connect(m_selectCd, &SelectCD::minimize, this, &MainWindow::minimize);
    connect(m_selectDvd, &SelectDVD::minimize, this, &MainWindow::minimize);

    m_network = new QNetworkAccessManager(this);
    m_automaticCheck = true;
    startUpdateCheck();
}

MainWindow::~MainWindow()
{
    stopWorkers();
    m_addModel.clear();
    m_deviceModel.clear();
    m_formatModel.clear();
    Catalogue::close();
}

QString MainWindow::separator() const
{
    return Folders::separator();
}

void MainWindow::stopWorkers()
{
    if (m_jobs)
        m_jobs->shutdown();
    if (m_probe)
        m_probe->shutdown();
}

// Frame

void MainWindow::changeDroppableSize()
{
    m_dropTarget->setFixedSize(width() - 410, height() - 42);
}

void MainWindow::minimize()
{
    QQuickWidget::showMinimized();
}

void MainWindow::showMaximized()
{
    m_normalGeometry = geometry();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
}

void MainWindow::showNormal()
{
    setGeometry(m_normalGeometry);
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    QQuickWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    m_pressX = at.x();
    m_pressY = at.y();
    if (event->button() == Qt::LeftButton && m_pressY <= 30) {
        // Wayland does not let clients place their windows.
        if (QGuiApplication::platformName().startsWith("wayland") && windowHandle())
            windowHandle()->startSystemMove();
        else
            m_dragging = true;
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    QQuickWidget::mouseMoveEvent(event);
    if (m_dragging)
        move(pos() + event->position().toPoint() - QPoint(m_pressX, m_pressY));
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    QQuickWidget::mouseReleaseEvent(event);
    m_dragging = false;
}

void MainWindow::dragEnterEvent(QDragEnterEvent *)
{
    m_dropTarget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

void MainWindow::dragLeaveEvent(QDragLeaveEvent *)
{
    m_dropTarget->setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

// Catalogue

QStringList MainWindow::getAddModel()
{
    return m_addModel;
}

QStringList MainWindow::getDeviceModel()
{
    return m_deviceModel;
}

QStringList MainWindow::getFormatModel()
{
    return m_formatModel;
}

QStringList MainWindow::getOutputModel(QString id)
{
    return Catalogue::outputModel(id);
}

void MainWindow::incrementCount(int formatId, int outputId)
{
    Catalogue::incrementCount(formatId, outputId);
}

// Menus, About box, web links and the update check

void MainWindow::buildMenus()
{
    m_addAudioAction = new QAction(tr("Add &Audio File"), this);
    m_addVideoAction = new QAction(tr("Add &Video File"), this);
    m_exitAction = new QAction(tr("E&xit"), this);
    m_aboutAction = new QAction(tr("&About"), this);
    m_manualAction = new QAction(tr("&Manual"), this);
    m_websiteAction = new QAction(tr("&Website"), this);
    m_updateAction = new QAction(tr("Check for &Updates"), this);
    m_reportBugAction = new QAction(tr("&Report a Bug"), this);
    // F1 anywhere in the window; the menu shows the key beside the entry.
    m_manualAction->setShortcut(QKeySequence::HelpContents);
    addAction(m_manualAction);

    m_fileMenu = new QMenu(this);
    m_fileMenu->addAction(m_addAudioAction);
    m_fileMenu->addAction(m_addVideoAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exitAction);

    m_helpMenu = new QMenu(this);
    m_helpMenu->addAction(m_aboutAction);
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(m_manualAction);
    m_helpMenu->addAction(m_websiteAction);
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(m_updateAction);
    m_helpMenu->addAction(m_reportBugAction);
}

void MainWindow::showMenu(int menu, int x)
{
    QMenu *which = menu == 0 ? m_fileMenu : menu == 1 ? m_helpMenu : nullptr;
    if (which)
        which->popup(mapToGlobal(QPoint(x, 30)));
}

void MainWindow::aboutAction()
{
    QImageReader reader(":/qml/images/icon.ico");
    reader.jumpToImage(2);
    Prompts::Box box;
    box.title = "About";
    box.text = "MediaForgeStudio v" + QCoreApplication::applicationVersion();
    box.informativeText = "This software uses libraries from the FFmpeg project under the LGPLv2.1";
    box.iconPixmap = QPixmap::fromImage(reader.read());
    Prompts::show(box);
}

void MainWindow::websiteAction()
{
    QDesktopServices::openUrl(UpdateCheck::siteUrl("/"));
}

void MainWindow::manualAction()
{
    QDesktopServices::openUrl(UpdateCheck::siteUrl("/manual"));
}

void MainWindow::reportBugAction()
{
    QDesktopServices::openUrl(UpdateCheck::siteUrl("/support"));
}

void MainWindow::updateAction()
{
    m_automaticCheck = false;
    startUpdateCheck();
}

void MainWindow::startUpdateCheck()
{
    // Only the newest check is answered.
    if (m_updateReply) {
        m_updateReply->disconnect(this);
        m_updateReply->abort();
        m_updateReply->deleteLater();
    }
    QNetworkRequest request(UpdateCheck::siteUrl("/current-version.txt"));
    request.setTransferTimeout(30000);
    QNetworkReply *reply = m_network->get(request);
    m_updateReply = reply;
    connect(reply, &QNetworkReply::finished, this,
            [this, reply] { doneHttp(reply->error() != QNetworkReply::NoError); });
}

void MainWindow::doneHttp(bool error)
{
    if (error) {
        if (!m_automaticCheck)
            warning("Unable to check for updates at this time");
        return;
    }
    const QByteArray body = m_updateReply ? m_updateReply->readAll() : QByteArray();
    const QString running = QCoreApplication::applicationVersion();
    const UpdateCheck::Answer answer = UpdateCheck::evaluate(body, running);
    if (answer.newer) {
        if (Prompts::question("New Update Available", answer.message))
            QDesktopServices::openUrl(
                UpdateCheck::siteUrl("/update?version=" + running.simplified().remove(' ')));
    } else if (!m_automaticCheck) {
        warning("You have the most up to date version installed");
    }
}

// Dialogs, message boxes, folders

QStringList MainWindow::openInputFile(QString title, QString filter)
{
    QStringList files = Prompts::openFiles(this, title, Folders::homeFolder(), filter);
    for (QString &f : files)
        f = Folders::nativeAbsolute(f);
    return files;
}

QStringList MainWindow::openMediaFiles()
{
    // Every input kind at once first, then each on its own.
    QStringList patterns;
    QStringList filters;
    for (int i = 5; i < m_addModel.size(); i += 6) {
        const QString filter = m_addModel.at(i).section(";;", 0, 0);
        filters << filter;
        patterns << filter.section('(', 1).section(')', 0, 0);
    }
    filters.prepend(tr("Media Files (%1)").arg(patterns.join(' ')));
    filters << tr("All Files (*)");
    return openInputFile(tr("Add Files"), filters.join(";;"));
}

QString MainWindow::openOutputFolder()
{
    return Folders::nativeAbsolute(
        Prompts::existingFolder(this, tr("Open Output Folder"), Folders::homeFolder()));
}

void MainWindow::warning(QString text)
{
    Prompts::warning(text, this);
}

bool MainWindow::yesno(QString text)
{
    return Prompts::question("Confirmation Required", text, QMessageBox::Question, this);
}

void MainWindow::changeCursor(int shape)
{
    setCursor(QCursor(static_cast<Qt::CursorShape>(shape)));
}

void MainWindow::log(QString text)
{
    appendLogLine(Folders::debugLogPath(), text);
}

QString MainWindow::getTempFolder()
{
    return Folders::tempFolder();
}

QString MainWindow::getMusicFolder()
{
    return Folders::musicFolder();
}

QString MainWindow::getVideoFolder()
{
    return Folders::videoFolder();
}

void MainWindow::makeDir(QString path)
{
    QDir().mkpath(path);
}

void MainWindow::openFolder(QString path)
{
    Desktop::showInFileManager(QDir::toNativeSeparators(path));
}

void MainWindow::playDisc(QString drive)
{
    if (drive.isEmpty())
        drive = m_selectDrive->driveRoot();
    // An image file is shown in its folder; a drive opens where its disc is mounted.
    if (DiscCheck::isImage(drive))
        Desktop::showInFileManager(QDir::toNativeSeparators(drive));
    else
        Desktop::openWithDesktop(Drives::mountPoint(drive));
}

// Media

void MainWindow::getFileInfo(QString path)
{
    m_probe->enqueue(path);
}

void MainWindow::startNewConversion(QString inFile, QString ffmpegArgs, QString aspect,
                                    QString outFile, QString outExt)
{
    // Tickets of their own, apart from the queue's.
    m_directTicket = ++m_lastDirectTicket;
    m_directOutput.clear();
    m_engine->convert(m_directTicket, {inFile, buildPresetArguments(ffmpegArgs, aspect), outFile, outExt});
}

void MainWindow::directEnded(quint64 ticket, const QString &output)
{
    if (ticket != m_directTicket || ticket == 0)
        return;
    m_directTicket = 0;
    m_jobStore->removeRunningOutput(output);
}

void MainWindow::stopConversion()
{
    // The runner removes the stopped job's output itself, once its converter
    // is dead.
    if (m_directTicket)
        m_engine->stop(m_directTicket);
}

bool MainWindow::removeFile(QString path)
{
    return TempFiles::remove(path, getTempFolder());
}

void MainWindow::close()
{
    const QString temp = getTempFolder();
    const QStringList entries = TempFiles::listing(temp);
    if (m_directTicket || m_jobs->isRunning()) {
        if (!yesno("Conversions will be cancelled - are you sure you want to close?"))
            return;
        stopConversion();
        m_jobs->cancel();
    }
    emptyTempAndClose(entries);
}

void MainWindow::emptyTempAndClose(const QStringList &entries)
{
    const QString folder = QDir(getTempFolder()).absolutePath();
    for (const QString &entry : entries)
        removeFile(folder + "/" + entry);
    QQuickWidget::close();
}

void MainWindow::endWithoutQuestion()
{
    // A report still queued must not start the next job.
    m_probe->disconnect(this);
    m_engine->disconnect(this);
    m_jobs->shutdown();
    const QStringList outputs = m_jobStore->runningOutputs();
    stopWorkers();
    // A burn or a rip ends too; on a disc the write is lost, but no tool is
    // left burning and no half image or title is left as if done.
    m_selectDvd->stopRip();
    m_selectCd->stopRip();
    // The runners remove their outputs as they stop; one that didn't stop
    // in time leaves it, and it goes here if it is still the job's own.
    for (const QString &output : outputs)
        OwnFiles::remove(output);
    m_jobStore->keep();
    // Listed once the workers are still, so that nothing they write is missed.
    emptyTempAndClose(TempFiles::listing(getTempFolder()));
}

void MainWindow::exitAction()
{
    close();
}

// Discs

QString MainWindow::selectCd()
{
    m_selectCd->scanDrives();
    m_selectCd->exec();
    return "1";
}

QString MainWindow::selectDvd()
{
    m_selectDvd->exec();
    return "1";
}

void MainWindow::openCDRipper()
{
    m_selectCd->show();
}

QString MainWindow::selectBurnDisc(QString discType, int overallDuration)
{
    m_selectDrive->setRun(discType, overallDuration, m_jobs->defaultDiscTitle(discType));
    m_selectDrive->setOptions(m_jobs->discOptions());
    m_selectDrive->runDialog();
    if (m_selectDrive->result() != QDialog::Accepted)
        return QString();
    const DiscOptions chosen = m_selectDrive->options();
    m_jobs->setDiscOptions(chosen);
    m_settings->setValue("chapterMinutes", chosen.chapterMinutes);
    m_settings->setValue("trackGapSeconds", chosen.gapSeconds);
    m_settings->setValue("verifyBurns", chosen.verify);
    return m_selectDrive->deviceId();
}

void MainWindow::startBurnDisc(QString discType, QString drive, QString desTemp,
                               QString finalOutput)
{
    const QString source = getTempFolder() + desTemp;
    if (discType == "dvd") {
        const QString standard = finalOutput.split(' ').first() == "PAL" ? "PAL" : "NTSC";
        m_burner->setJob("dvd", drive, source, standard);
    } else {
        m_burner->setJob("cd", drive, source, QString());
    }
    DiscOptions options = m_jobs->discOptions();
    options.replaceable = m_selectDrive->replacing(drive);
    m_burner->setOptions(options);
    m_burner->start();
}

void MainWindow::runFinished(int done, int failed, bool cancelled)
{
    // A run that ends while the user is elsewhere says so on the desktop.
    if (cancelled || isActiveWindow())
        return;
    QString text = done == 1 ? QString("1 job finished") : QString("%1 jobs finished").arg(done);
    if (failed > 0)
        text += failed == 1 ? QString(", 1 failed") : QString(", %1 failed").arg(failed);
    Desktop::notify("MediaForgeStudio", text + ".");
}

bool MainWindow::isCurrentDiscBlank(QString drive)
{
    const Tools::Run info = Tools::run(BurnTools::dvdInfo, {drive});
    qDebug().noquote() << '"' + Tools::toolText(info.out) + '"';
    return true;
}
