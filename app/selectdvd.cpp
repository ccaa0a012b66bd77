#include "app/selectdvd.h"

#include "disc/drives.h"
#include "disc/dvd/dvdlisting.h"
#include "disc/dvd/dvdripthread.h"
#include "disc/dvd/dvdvolume.h"
#include "media/clocktext.h"
#include "platform/folders.h"
#include "platform/prompts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

SelectDVD::SelectDVD(QWidget *parent)
    : RipDialog(parent, tr("Rip from DVD"), tr("Select Titles"), tr("Title"))
    , m_ripThread(new DVDRipThread(this))
    , m_openFolder(new QPushButton(tr("Open Folder...")))
{
    statusLabel()->setWordWrap(true);
    // Room for a device node or folder path with the disc's label.
    setMinimumWidth(440);
    openImageButton()->setAccessibleName(tr("Open a DVD image file"));
    driveCombo()->setPlaceholderText(tr("No drive found — use Open Image... or Open Folder..."));
    m_openFolder->setAccessibleName(tr("Open a DVD folder"));
    // Beside "Open Image...", in the drive row the base dialog made.
    for (auto *row : findChildren<QHBoxLayout *>()) {
        const int at = row->indexOf(openImageButton());
        if (at >= 0)
            row->insertWidget(at + 1, m_openFolder);
    }

    connect(selectNoneButton(), &QPushButton::clicked, this, &SelectDVD::onSelectNone);
    connect(selectAllButton(), &QPushButton::clicked, this, &SelectDVD::onSelectAll);
    connect(okButton(), &QPushButton::clicked, this, &SelectDVD::onOK);
    connect(cancelButton(), &QPushButton::clicked, this, &SelectDVD::onCancel);
    connect(driveCombo(), &QComboBox::currentIndexChanged, this,
            [this](int index) { onComboChanged(driveCombo()->itemText(index)); });
    connect(openImageButton(), &QPushButton::clicked, this, &SelectDVD::openImage);
    connect(m_openFolder, &QPushButton::clicked, this, &SelectDVD::openFolder);
    connect(m_ripThread, &DVDRipThread::ripStarted, this, &SelectDVD::ripStarted);
    connect(m_ripThread, &DVDRipThread::ripTitleStarted, this, &SelectDVD::ripTitleStarted);
    connect(m_ripThread, &DVDRipThread::progress, this, &SelectDVD::updateProgress);
    connect(m_ripThread, &DVDRipThread::ripTitleFinished, this, &SelectDVD::ripTitleFinished);
    connect(m_ripThread, &DVDRipThread::ripComplete, this, &SelectDVD::onComplete);
    connect(m_ripThread, &DVDRipThread::error, this, &SelectDVD::ripError);
}

SelectDVD::~SelectDVD()
{
    // A rip still going ends (its tool killed) while the dialog is whole.
    delete m_ripThread;
}

void SelectDVD::scanDrives()
{
    const QString previous = driveCombo()->currentData(SourceRole).toString();
    driveCombo()->clear();
    // No drive must not leave the last disc's titles to rip.
    itemTree()->clear();
    for (const QString &node : Drives::opticalDrives())
        addSource(node, dvdVolumeLabel(node));
    // Folders and images opened in this session stay listed.
    for (const QString &source : std::as_const(m_opened))
        addSource(source, dvdSourceName(source));
    const int keep = driveCombo()->findData(previous, SourceRole);
    if (keep >= 0) {
        const QSignalBlocker quiet(driveCombo());
        driveCombo()->setCurrentIndex(keep);
    }
    if (driveCombo()->count() > 0)
        onComboChanged(driveCombo()->currentText());
}

int SelectDVD::addSource(const QString &source, const QString &label)
{
    // Listed once its data is complete, not when the combo first sees it.
    const QSignalBlocker quiet(driveCombo());
    const QString text = source + " " + label;
    driveCombo()->addItem(text);
    const int at = driveCombo()->count() - 1;
    driveCombo()->setItemData(at, source, SourceRole);
    driveCombo()->setItemData(at, label, LabelRole);
    driveCombo()->setItemData(at, text, Qt::ToolTipRole);
    return at;
}

void SelectDVD::listTitles(const QString &drive)
{
    itemTree()->clear();
    // Blocks the dialog while the tool reads the disc; the bound keeps it short.
    const DvdListing listing = listDvd(drive);
    const DvdTitles &titles = listing.titles;
    for (int t = 0; t < titles.lengths.size(); ++t)
        addRow("Title " + QString::number(t + 1), qMax<qint64>(0, titles.lengths.at(t)) / 1000, t == titles.longest);
    m_listingProblem = listing.problem;
    if (!listing.detail.isEmpty())
        m_listingProblem += "\n\n" + listing.detail;
    statusLabel()->setText(QString(m_listingProblem).replace("\n\n", " "));
}

void SelectDVD::stopRip()
{
    m_ripThread->disconnect(this);
    m_ripThread->running = false;
    m_ripThread->wait();
}

void SelectDVD::onSelectNone()
{
    setAllTicked(false);
}

void SelectDVD::onSelectAll()
{
    setAllTicked(true);
}

void SelectDVD::onComboChanged(QString text)
{
    if (text.isEmpty())
        return;
    listTitles(driveCombo()->currentData(SourceRole).toString());
}

void SelectDVD::onOK()
{
    // The controls come back after a title's error while the rip goes on.
    if (m_ripThread->isRunning())
        return;
    QStringList titles;
    QStringList lengths;
    for (int row : tickedRows()) {
        titles << QString::number(row);
        // The job's duration, as durations travel.
        lengths << clockText(itemTree()->topLevelItem(row - 1)->data(2, Qt::UserRole).toLongLong());
    }
    if (titles.isEmpty()) {
        Prompts::warning(itemTree()->topLevelItemCount() == 0
                             ? "There are no DVD titles to rip. Choose a drive with a DVD in it, or open a DVD "
                               "folder or image."
                             : "Tick the titles to rip first.",
                         this);
        return;
    }
    enableControls(false);
    m_ripThread->setTitles(driveCombo()->currentData(SourceRole).toString(), titles,
                           driveCombo()->currentData(LabelRole).toString(), lengths);
    m_ripThread->start();
}

void SelectDVD::onCancel()
{
    m_ripThread->running = false;
    endRip();
    QDialog::reject();
}

void SelectDVD::reject()
{
    onCancel();
}

void SelectDVD::ripStarted(int count)
{
    m_itemCount = count;
}

void SelectDVD::ripTitleStarted(int number)
{
    statusLabel()->setText("Ripping title " + QString::number(number) + " of " + QString::number(m_itemCount));
}

void SelectDVD::updateProgress(int percent)
{
    progressBar()->setValue(percent);
}

void SelectDVD::ripTitleFinished(QString path, QString length)
{
    emit addDVD({path}, length);
}

void SelectDVD::onComplete()
{
    endRip();
    accept();
}

void SelectDVD::ripError(QString message)
{
    endRip();
    Prompts::critical("Error", message, this);
}

int SelectDVD::exec()
{
    scanDrives();
    return RipDialog::exec();
}

void SelectDVD::openImage()
{
    const QStringList files = Prompts::openFiles(this, tr("Open DVD Image"), Folders::homeFolder(),
                                                 tr("DVD images (*.iso *.img);;All files (*)"));
    if (!files.isEmpty())
        chooseSource(files.first());
}

void SelectDVD::openFolder()
{
    const QString folder = Prompts::existingFolder(this, tr("Open DVD Folder"), Folders::homeFolder());
    if (!folder.isEmpty())
        chooseSource(folder);
}

void SelectDVD::chooseSource(const QString &path)
{
    const QString source = Folders::nativeAbsolute(path);
    int at = driveCombo()->findData(source, SourceRole);
    if (at < 0) {
        at = addSource(source, dvdSourceName(source));
        m_opened << source;
    }
    if (at == driveCombo()->currentIndex())
        listTitles(source);
    else
        driveCombo()->setCurrentIndex(at);
    if (!m_listingProblem.isEmpty())
        Prompts::warning(m_listingProblem, this);
}

void SelectDVD::enableControls(bool enabled)
{
    setControlsEnabled(enabled);
    m_openFolder->setEnabled(enabled);
}

void SelectDVD::endRip()
{
    enableControls(true);
    resetProgress();
}
