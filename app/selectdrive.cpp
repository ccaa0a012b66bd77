#include "app/selectdrive.h"

#include "disc/burn/disccheck.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Marks the entry that writes an image file instead of a disc.
const int imageRole = Qt::UserRole + 1;
} // namespace

SelectDrive::SelectDrive(QWidget *parent)
    : QDialog(parent)
    , m_driveList(new QComboBox)
    , m_okButton(new QPushButton("OK"))
    , m_cancelButton(new QPushButton("Cancel"))
{
    setWindowTitle("Select Burn Drive");
    auto *group = new QGroupBox(tr("Select Drive"));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_driveList);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    // Enter presses the focused button, else OK once a drive is chosen.
    m_cancelButton->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(group, 0, 0);
    grid->addLayout(buttons, 1, 0);

    connect(m_okButton, &QPushButton::clicked, this, &SelectDrive::onOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &SelectDrive::onCancel);
    connect(m_driveList, &QComboBox::currentIndexChanged, this, &SelectDrive::onComboChange);
}

void SelectDrive::setRun(const QString &discType, int neededSeconds)
{
    m_discType = discType;
    m_neededSeconds = neededSeconds;
}

void SelectDrive::runDialog()
{
    scanDrives();
    exec();
}

void SelectDrive::scanDrives()
{
    m_driveList->clear();
    // Linux names a drive once, so the CD list is the drive list itself.
    for (const DiscCheck::Target &target : DiscCheck::targets()) {
        m_driveList->addItem(target.label, target.id);
        m_driveList->setItemData(m_driveList->count() - 1, target.image, imageRole);
    }
}

QString SelectDrive::checkDisc(const QString &deviceId, int seconds, const QString &discType)
{
    return DiscCheck::checkDisc(deviceId, seconds, discType);
}

void SelectDrive::onOK()
{
    const int index = m_driveList->currentIndex();
    if (index >= 0 && m_driveList->itemData(index, imageRole).toBool() && !chooseImageFile())
        return;
    const QString answer = checkDisc(m_deviceId, m_neededSeconds, m_discType);
    if (answer.isEmpty()) {
        done(QDialog::Accepted);
        return;
    }
    Prompts::warning(answer, this);
}

// Asks where the image goes; false leaves the dialog as it was.
bool SelectDrive::chooseImageFile()
{
    const bool dvd = m_discType == "dvd";
    const QString chosen = Prompts::saveFile(
        this, "Save Image File", dvd ? Folders::videoFolder() : Folders::musicFolder(),
        dvd ? "DVD-Video image (*.iso)" : "Audio CD image (*.cue)");
    if (chosen.isEmpty())
        return false;
    const QString path = QDir::toNativeSeparators(
        QFileInfo(DiscCheck::imagePath(chosen, m_discType)).absoluteFilePath());
    // The file dialog asked about the name it returned when a file was there,
    // not about the suffix added here, the data file beside a cue sheet, or
    // a link that leads nowhere.
    const bool dialogAsked =
        path == QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath()) && QFileInfo::exists(path);
    QStringList files{path}, taken;
    if (!dvd)
        files << DiscCheck::binBeside(path);
    for (const QString &file : std::as_const(files)) {
        if (!FileNames::taken(file))
            continue;
        if (!(file == path && dialogAsked)
            && !Prompts::question("Confirmation Required",
                                  QFileInfo(file).fileName() + " already exists.\nDo you want to replace it?",
                                  QMessageBox::Question, this))
            return false;
        taken << file;
    }
    m_deviceId = path;
    m_driveRoot = path;
    // What was asked about; a name taken later is never replaced.
    m_replacing = taken;
    return true;
}

QStringList SelectDrive::replacing(const QString &deviceId) const
{
    return deviceId == m_deviceId ? m_replacing : QStringList();
}

void SelectDrive::onCancel()
{
    done(QDialog::Rejected);
}

void SelectDrive::onComboChange(int index)
{
    m_deviceId = index < 0 ? QString() : m_driveList->itemData(index).toString();
    m_driveRoot = m_deviceId;
    m_replacing.clear();
    (index < 0 ? m_cancelButton : m_okButton)->setDefault(true);
}
