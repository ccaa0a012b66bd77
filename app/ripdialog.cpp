#include "app/ripdialog.h"

#include "media/clocktext.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RipDialog::RipDialog(QWidget *parent, const QString &windowTitle, const QString &listTitle,
                     const QString &itemHeader)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint)
    , m_driveCombo(new QComboBox)
    , m_openImage(new QPushButton(tr("Open Image...")))
    , m_selectNone(new QPushButton(tr("Select None")))
    , m_selectAll(new QPushButton(tr("Select All")))
    , m_tree(new QTreeWidget)
    , m_statusLabel(new QLabel)
    , m_progressBar(new QProgressBar)
    , m_ok(new QPushButton(tr("OK")))
    , m_cancel(new QPushButton(tr("Cancel")))
{
    setWindowTitle(windowTitle);

    m_driveCombo->setAccessibleName(tr("Drive"));
    m_driveCombo->setPlaceholderText(tr("No drive found — use Open Image..."));
    // With a placeholder a combo box leaves its first entry unchosen; the
    // drive list chooses it as before.
    connect(m_driveCombo->model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_driveCombo->currentIndex() < 0)
            m_driveCombo->setCurrentIndex(0);
    });
    m_driveCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_openImage->setAccessibleName(tr("Open a disc image file"));
    auto *driveRow = new QHBoxLayout;
    driveRow->addWidget(m_driveCombo);
    driveRow->addWidget(m_openImage);
    auto *driveGroup = new QGroupBox(tr("Select Drive"));
    auto *driveLayout = new QVBoxLayout(driveGroup);
    driveLayout->addLayout(driveRow);

    m_tree->setColumnCount(3);
    m_tree->setHeaderLabels({QString(), itemHeader, tr("Length")});
    m_tree->setRootIsDecorated(false);
    m_tree->setSelectionMode(QAbstractItemView::NoSelection);
    m_tree->setColumnWidth(0, 20);
    m_tree->setAccessibleName(listTitle);
    auto *selectRow = new QHBoxLayout;
    selectRow->addStretch();
    selectRow->addWidget(m_selectNone);
    selectRow->addWidget(m_selectAll);
    auto *listGroup = new QGroupBox(listTitle);
    auto *listLayout = new QVBoxLayout(listGroup);
    listLayout->addLayout(selectRow);
    listLayout->addWidget(m_tree);

    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setAccessibleName(tr("Rip progress"));
    auto *progressGroup = new QGroupBox(tr("Rip Progress"));
    auto *progressLayout = new QVBoxLayout(progressGroup);
    progressLayout->addWidget(m_statusLabel);
    progressLayout->addWidget(m_progressBar);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_ok);
    buttonRow->addWidget(m_cancel);
    // Enter presses the focused button; elsewhere it presses OK once
    // something is ticked, and Cancel before.
    m_cancel->setDefault(true);
    connect(m_tree, &QTreeWidget::itemChanged, this, &RipDialog::chooseDefaultButton);
    connect(m_tree->model(), &QAbstractItemModel::modelReset, this, &RipDialog::chooseDefaultButton);
    connect(m_tree->model(), &QAbstractItemModel::rowsRemoved, this, &RipDialog::chooseDefaultButton);

    auto *grid = new QGridLayout(this);
    grid->addWidget(driveGroup, 0, 0);
    grid->addWidget(listGroup, 1, 0);
    grid->addWidget(progressGroup, 2, 0);
    grid->addLayout(buttonRow, 3, 0);
}

bool RipDialog::event(QEvent *event)
{
    // Minimizing the dialog minimizes the main window with it.
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        emit minimize();
        event->accept();
        return true;
    }
    QDialog::event(event);
    return true;
}

QTreeWidgetItem *RipDialog::addRow(const QString &name, qint64 seconds, bool ticked)
{
    auto *item = new QTreeWidgetItem(m_tree, {QString(), name, shortClockText(seconds)});
    item->setData(2, Qt::UserRole, seconds);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    return item;
}

RipDialog::~RipDialog()
{
    // The list empties itself as it goes, after this object is no dialog of
    // ours any more: it must not call back.
    m_tree->model()->disconnect(this);
    m_tree->disconnect(this);
}

void RipDialog::setAllTicked(bool ticked)
{
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        m_tree->topLevelItem(i)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

QList<int> RipDialog::tickedRows() const
{
    QList<int> rows;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        if (m_tree->topLevelItem(i)->checkState(0) == Qt::Checked)
            rows << i + 1;
    }
    return rows;
}

void RipDialog::setControlsEnabled(bool enabled)
{
    for (QWidget *w : {static_cast<QWidget *>(m_driveCombo), static_cast<QWidget *>(m_openImage),
                       static_cast<QWidget *>(m_tree), static_cast<QWidget *>(m_selectNone),
                       static_cast<QWidget *>(m_selectAll), static_cast<QWidget *>(m_ok)})
        w->setEnabled(enabled);
}

void RipDialog::resetProgress()
{
    m_statusLabel->clear();
    m_progressBar->setValue(0);
}

void RipDialog::chooseDefaultButton()
{
    (tickedRows().isEmpty() ? m_cancel : m_ok)->setDefault(true);
}
