#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// What the CD and DVD dialogs share: a drive list with a way to open a disc
// image instead, a ticked list of tracks or titles, the rip's label and bar,
// OK and Cancel, and the minimize relay to the main window.
class RipDialog : public QDialog
{
    Q_OBJECT
public:
    // `listTitle` is the middle group's title ("Select Tracks"), `itemHeader`
    // the list's second column ("Track"). An empty drive list says to open
    // an image instead; a dialog that offers more says so with
    // driveCombo()->setPlaceholderText().
    RipDialog(QWidget *parent, const QString &windowTitle, const QString &listTitle,
              const QString &itemHeader);
    ~RipDialog() override;

    QComboBox *driveCombo() const { return m_driveCombo; }
    QTreeWidget *itemTree() const { return m_tree; }
    QLabel *statusLabel() const { return m_statusLabel; }
    QProgressBar *progressBar() const { return m_progressBar; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *selectAllButton() const { return m_selectAll; }
    QPushButton *selectNoneButton() const { return m_selectNone; }
    // Beside the drive list; each dialog connects it to its own chooser.
    QPushButton *openImageButton() const { return m_openImage; }

signals:
    void minimize();

protected:
    bool event(QEvent *event) override;

    // Appends a row: tick box, name, length as both dialogs show it ("4:05",
    // "2:00:00"), with its seconds as the column's data.
    QTreeWidgetItem *addRow(const QString &name, qint64 seconds, bool ticked);
    void setAllTicked(bool ticked);
    // 1-based numbers of the ticked rows, in row order.
    QList<int> tickedRows() const;
    // Drive list, item list, Select None, Select All and OK.
    void setControlsEnabled(bool enabled);
    // Label emptied, bar to 0.
    void resetProgress();

private:
    void chooseDefaultButton();

    QComboBox *m_driveCombo;
    QPushButton *m_openImage;
    QPushButton *m_selectNone;
    QPushButton *m_selectAll;
    QTreeWidget *m_tree;
    QLabel *m_statusLabel;
    QProgressBar *m_progressBar;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
