#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QPushButton;

// The burner choice: the optical drives and "Image file". OK checks that the
// disc in the chosen drive is blank and large enough for the run (or that
// the image can be written) and only then closes the dialog accepted.
class SelectDrive : public QDialog
{
    Q_OBJECT
public:
    explicit SelectDrive(QWidget *parent = nullptr);

    // What the run needs: "dvd" or "cd", and its play length in seconds.
    void setRun(const QString &discType, int neededSeconds);
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
    QString m_deviceId;
    QStringList m_replacing;
    int m_neededSeconds = 0;
    QString m_discType;
};
