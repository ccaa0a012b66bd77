#include "app/selectdrive.h"

#include "disc/burn/disccheck.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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
    , m_titleLabel(new QLabel)
    , m_title(new QLineEdit)
    , m_chaptersLabel(new QLabel(tr("&Chapters:")))
    , m_chapters(new QSpinBox)
    , m_gapLabel(new QLabel(tr("&Between tracks:")))
    , m_gap(new QComboBox)
    , m_verify(new QCheckBox(tr("&Verify after burning")))
{
    setWindowTitle("Select Burn Drive");
    auto *group = new QGroupBox(tr("Select Drive"));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_driveList);

    auto *disc = new QGroupBox(tr("Disc"));
    auto *form = new QFormLayout(disc);
    m_title->setMaxLength(160);
    form->addRow(m_titleLabel, m_title);
    // 0 is the lowest value: a chapter only where each job starts.
    m_chapters->setRange(0, 999);
    m_chapters->setSpecialValueText(tr("Where each job starts"));
    m_chapters->setPrefix(tr("Each job, and every "));
    m_chapters->setSuffix(tr(" min"));
    form->addRow(m_chaptersLabel, m_chapters);
    m_gap->addItem(tr("No pause"), 0);
    m_gap->addItem(tr("2 seconds of silence"), 2);
    form->addRow(m_gapLabel, m_gap);
    m_verify->setToolTip(tr("Read back what was written and compare it"));
    form->addRow(m_verify);
    for (QLabel *label : {m_titleLabel, m_chaptersLabel, m_gapLabel})
        label->setBuddy(label == m_titleLabel ? static_cast<QWidget *>(m_title)
                        : label == m_chaptersLabel ? static_cast<QWidget *>(m_chapters)
                                                   : m_gap);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    // Enter presses the focused button, else OK once a drive is chosen.
    m_cancelButton->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(group, 0, 0);
    grid->addWidget(disc, 1, 0);
    grid->addLayout(buttons, 2, 0);
    setOptions(DiscOptions());

    connect(m_okButton, &QPushButton::clicked, this, &SelectDrive::onOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &SelectDrive::onCancel);
    connect(m_driveList, &QComboBox::currentIndexChanged, this, &SelectDrive::onComboChange);
}

void SelectDrive::setRun(const QString &discType, int neededSeconds, const QString &title)
{
    m_discType = discType;
    m_neededSeconds = neededSeconds;
    const bool dvd = discType == "dvd";
    m_titleLabel->setText(dvd ? tr("Volume &label:") : tr("Album &title:"));
    m_title->setText(title);
    m_chaptersLabel->setVisible(dvd);
    m_chapters->setVisible(dvd);
    m_gapLabel->setVisible(!dvd);
    m_gap->setVisible(!dvd);
}

void SelectDrive::setOptions(const DiscOptions &options)
{
    m_chapters->setValue(options.chapterMinutes);
    m_gap->setCurrentIndex(options.gapSeconds > 0 ? 1 : 0);
    m_verify->setChecked(options.verify);
}

DiscOptions SelectDrive::options() const
{
    DiscOptions options;
    options.title = m_title->text().trimmed();
    options.chapterMinutes = m_chapters->value();
    options.gapSeconds = m_gap->currentData().toInt();
    options.verify = m_verify->isChecked();
    options.replaceable = m_replacing;
    return options;
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
