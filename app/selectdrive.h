#pragma once

#include "disc/burn/discplan.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The burner choice: the optical drives and "Image file", and what the disc
// gets: its title (a DVD's volume label, a CD's album title), DVD chapters
// or CD gaps, and whether it is read back after writing. OK checks that the
// disc in the chosen drive is blank and large enough for the run (or that
// the image can be written) and only then closes the dialog accepted.
class SelectDrive : public QDialog
{
    Q_OBJECT
public:
    explicit SelectDrive(QWidget *parent = nullptr);

    // What the run needs: "dvd" or "cd", its play length in seconds, and
    // the title the disc gets unless the user types another.
    void setRun(const QString &discType, int neededSeconds, const QString &title = {});
    // The choices shown (the title is the run's); options() as the user left them.
    void setOptions(const DiscOptions &options);
    DiscOptions options() const;
    void runDialog();
    void scanDrives();
    QString checkDisc(const QString &deviceId, int seconds, const QString &discType);

    // The chosen drive's node (or image file), which playDisc opens.
    QString driveRoot() const { return m_driveRoot; }
    // What startBurnDisc gets: a device node or an image file's path.
    QString deviceId() const { return m_deviceId; }
    // The files of the image file `deviceId` that the user agreed to replace
    // when choosing it.
    QStringList replacing(const QString &deviceId) const;
    QComboBox *driveList() const { return m_driveList; }
    QPushButton *okButton() const { return m_okButton; }
    QLineEdit *titleEdit() const { return m_title; }
    QSpinBox *chapterBox() const { return m_chapters; }
    QComboBox *gapList() const { return m_gap; }
    QCheckBox *verifyBox() const { return m_verify; }
    QPushButton *cancelButton() const { return m_cancelButton; }

public slots:
    void onOK();
    void onCancel();
    void onComboChange(int index);

private:
    bool chooseImageFile();

    QString m_driveRoot;
    QComboBox *m_driveList;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    QLabel *m_titleLabel;
    QLineEdit *m_title;
    QLabel *m_chaptersLabel;
    QSpinBox *m_chapters;
    QLabel *m_gapLabel;
    QComboBox *m_gap;
    QCheckBox *m_verify;
    QString m_deviceId;
    QStringList m_replacing;
    int m_neededSeconds = 0;
    QString m_discType;
};
