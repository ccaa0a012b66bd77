#include "app/selectcd.h"

#include "disc/cd/audiocd.h"
#include "disc/cd/cdripthread.h"
#include "disc/cd/discinfo.h"
#include "disc/cd/discname.h"
#include "disc/cd/ripsettings.h"
#include "disc/drives.h"
#include "platform/folders.h"
#include "platform/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>

SelectCD::SelectCD(QWidget *parent, CdDeviceFactory factory)
    : RipDialog(parent, tr("Rip from CD"), tr("Select Tracks"), tr("Track"))
    , devices(std::move(factory))
    , m_mode(new QComboBox)
    , m_testAndCopy(new QCheckBox(tr("Test and copy")))
    , m_offset(new QSpinBox)
    , ripThread(new CDRipThread(newDevice(), this))
{
    m_mode->addItems({tr("Secure"), tr("Fast")});
    m_mode->setAccessibleName(tr("Reading mode"));
    m_mode->setToolTip(tr("Secure reads every sector at least twice and corrects what differs; "
                          "Fast reads each sector once"));
    m_testAndCopy->setToolTip(tr("Reads every track twice and compares the two"));
    m_offset->setRange(-RipSettings::offsetLimit, RipSettings::offsetLimit);
    m_offset->setValue(RipSettings::readOffset());
    m_offset->setAccessibleName(tr("Read offset in samples"));
    auto *offsetLabel = new QLabel(tr("Read offset:"));
    offsetLabel->setBuddy(m_offset);
    auto *options = new QHBoxLayout;
    options->addWidget(m_mode);
    options->addWidget(m_testAndCopy);
    options->addStretch();
    options->addWidget(offsetLabel);
    options->addWidget(m_offset);
    if (auto *driveLayout = qobject_cast<QBoxLayout *>(driveCombo()->parentWidget()->layout()))
        driveLayout->addLayout(options);
    connect(m_offset, &QSpinBox::valueChanged, this, [](int samples) { RipSettings::setReadOffset(samples); });
    statusLabel()->setWordWrap(true);
    // Room for a device node or image path with the disc's name.
    setMinimumWidth(440);
    connect(selectNoneButton(), &QPushButton::clicked, this, &SelectCD::onSelectNone);
    connect(selectAllButton(), &QPushButton::clicked, this, &SelectCD::onSelectAll);
    connect(okButton(), &QPushButton::clicked, this, &SelectCD::onOK);
    connect(cancelButton(), &QPushButton::clicked, this, &SelectCD::onCancel);
    connect(openImageButton(), &QPushButton::clicked, this, &SelectCD::openImage);
    connect(driveCombo(), &QComboBox::currentIndexChanged, this,
            [this] { onComboChanged(driveCombo()->currentText()); });
    connect(ripThread, &CDRipThread::ripStarted, this, &SelectCD::ripStarted);
    connect(ripThread, &CDRipThread::startedFile, this, &SelectCD::startedFile);
    connect(ripThread, &CDRipThread::progress, this, &SelectCD::updateProgress);
    connect(ripThread, &CDRipThread::trackRipped, this, &SelectCD::trackRipped);
    connect(ripThread, &CDRipThread::finishedFile, this, &SelectCD::finishedFile);
    connect(ripThread, &CDRipThread::ripComplete, this, &SelectCD::onComplete);
    connect(ripThread, &CDRipThread::error, this, &SelectCD::ripError);
}

SelectCD::~SelectCD()
{
    ripThread->cancel();
    ripThread->wait();
}

std::unique_ptr<CdDevice> SelectCD::newDevice() const
{
    return devices ? devices() : makeLibcdioDevice();
}

QString SelectCD::currentDrive() const
{
    return driveCombo()->currentData().toString();
}

void SelectCD::addDrive(const QString &id)
{
    const QString text = driveEntryText(id, readDiscName(id));
    driveCombo()->addItem(text, id);
    driveCombo()->setItemData(driveCombo()->count() - 1, text, Qt::ToolTipRole);
}

void SelectCD::scanDrives()
{
    const QString previous = currentDrive();
    {
        const QSignalBlocker quiet(driveCombo());
        driveCombo()->clear();
        for (const QString &node : Drives::opticalDrives())
            addDrive(node);
        for (const QString &image : std::as_const(images))
            addDrive(image);
        const int keep = driveCombo()->findData(previous);
        if (keep >= 0)
            driveCombo()->setCurrentIndex(keep);
    }
    if (isVisible())
        fillTracks(currentDrive());
}

bool SelectCD::fillTracks(const QString &drive)
{
    itemTree()->clear();
    // The last disc's ids are not this one's.
    if (!ripThread->isRunning())
        statusLabel()->clear();
    // Drives read securely by default; an image gives the same bytes either way.
    m_mode->setCurrentIndex(QFileInfo(drive).isFile() ? 1 : 0);
    if (drive.isEmpty())
        return false;
    CAudioCD cd(QString(), newDevice());
    if (!cd.openDrive(drive)) {
        // Not a box: an empty drive is no error, but a refused one needs a word.
        if (!QFileInfo(drive).isFile())
            statusLabel()->setText(Drives::accessProblem(drive));
        return false;
    }
    cd.lockTray();
    for (int k = 0; k < cd.trackCount(); ++k) {
        const bool audio = cd.isAudioTrack(uint(k));
        const QString title = cd.cdText().trackTitle(k);
        QTreeWidgetItem *row = addRow(tr("Track ") + QString::number(k + 1) + (audio ? "" : tr(" (data)"))
                                          + (title.isEmpty() ? "" : ": " + title),
                                      cd.trackSeconds(uint(k)), audio);
        row->setDisabled(!audio);
    }
    itemTree()->resizeColumnToContents(1);
    statusLabel()->setText(tr("MusicBrainz disc id %1, freedb id %2")
                               .arg(musicBrainzDiscId(cd.toc()), freedbDiscId(cd.toc())));
    cd.unlockTray();
    return true;
}

void SelectCD::openImage()
{
    const QStringList chosen = Prompts::openFiles(this, tr("Open Disc Image"), Folders::homeFolder(),
                                                  tr("Disc images (*.cue *.toc *.nrg)"));
    if (chosen.isEmpty())
        return;
    const QString path = Folders::nativeAbsolute(chosen.first());
    if (!QFileInfo(path).isFile()) {
        Prompts::warning("The disc image " + path + " cannot be found.", this);
        return;
    }
    CAudioCD cd(QString(), newDevice());
    cd.openDrive(path);
    const QString problem = cd.imageProblem(path);
    cd.closeDrive();
    if (!problem.isEmpty()) {
        Prompts::warning(problem, this);
        return;
    }
    if (!images.contains(path)) {
        images << path;
        addDrive(path);
    }
    const int at = driveCombo()->findData(path);
    if (at == driveCombo()->currentIndex())
        fillTracks(path);
    else
        driveCombo()->setCurrentIndex(at);
}

void SelectCD::showEvent(QShowEvent *event)
{
    RipDialog::showEvent(event);
    fillTracks(currentDrive());
}

void SelectCD::onSelectNone()
{
    setAllTicked(false);
}

void SelectCD::onSelectAll()
{
    setAllTicked(true);
    for (int i = 0; i < itemTree()->topLevelItemCount(); ++i) {
        if (itemTree()->topLevelItem(i)->isDisabled())
            itemTree()->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    }
}

void SelectCD::onComboChanged(QString)
{
    fillTracks(currentDrive());
}

void SelectCD::onOK()
{
    // After a failed track the controls are back while the rip goes on; its
    // drive and list stay as they are until it ends.
    if (ripThread->isRunning()) {
        Prompts::warning("Ripping is still in progress. Wait until it has finished, or press Cancel.", this);
        return;
    }
    setControlsEnabled(false);
    QStringList tracks;
    for (int row : tickedRows())
        tracks << QString::number(row);
    RipOptions options;
    options.mode = m_mode->currentIndex() == 0 ? RipOptions::Mode::Secure : RipOptions::Mode::Fast;
    options.testAndCopy = m_testAndCopy->isChecked();
    options.offset = m_offset->value();
    marked.clear();
    ripThread->setOptions(options);
    ripThread->setTracks(currentDrive(), tracks);
    ripThread->start();
}

void SelectCD::stopRip()
{
    ripThread->disconnect(this);
    ripThread->cancel();
    ripThread->wait();
}

void SelectCD::onCancel()
{
    ripThread->cancel();
    setControlsEnabled(true);
    resetProgress();
    RipDialog::reject();
}

void SelectCD::reject()
{
    onCancel();
}

void SelectCD::ripStarted(int count)
{
    itemCount = count;
}

void SelectCD::startedFile(int track)
{
    currentItem = track;
    statusLabel()->setText("Ripping track " + QString::number(track) + " of " + QString::number(itemCount)
                           + "...");
}

void SelectCD::updateProgress(int percentage)
{
    if (itemCount <= 0)
        return;
    // Each share in whole percent, as the bar always showed it.
    progressBar()->setValue((currentItem - 1) * 100 / itemCount + percentage / itemCount);
}

// A track not read cleanly is marked in its row, and the dialog stays
// open at the end to show it.
void SelectCD::trackRipped(TrackRip rip)
{
    if (rip.clean())
        return;
    marked << QString::number(rip.number);
    if (QTreeWidgetItem *row = itemTree()->topLevelItem(rip.number - 1)) {
        row->setText(1, row->text(1) + (rip.unrecoverable > 0 ? tr(" (unrecoverable sectors)")
                                                              : tr(" (test and copy mismatch)")));
        row->setForeground(1, Qt::red);
        itemTree()->resizeColumnToContents(1);
    }
}

void SelectCD::finishedFile(QString filename)
{
    emit addAudioCD({filename});
}

void SelectCD::onComplete()
{
    setControlsEnabled(true);
    resetProgress();
    if (marked.isEmpty()) {
        accept();
        return;
    }
    statusLabel()->setText(tr("Not read cleanly: track %1. The rip log beside the files tells more.")
                               .arg(marked.join(", ")));
}

void SelectCD::ripError(QString msg)
{
    setControlsEnabled(true);
    resetProgress();
    Prompts::critical("Error", msg, this);
}
