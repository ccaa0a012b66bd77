#pragma once

#include "app/ripdialog.h"
#include "disc/cd/audiocd.h"
#include "disc/cd/cddevice.h"

#include <QStringList>

class CDRipThread;
class QCheckBox;
class QSpinBox;

// "Rip from CD": the drives (and disc images the user opened), the tracks of
// the chosen disc, and the rip of the ticked ones into WAV files that become
// jobs one by one.
class SelectCD : public RipDialog
{
    Q_OBJECT
public:
    // Without a device factory, drives and images are read through libcdio.
    explicit SelectCD(QWidget *parent = nullptr, CdDeviceFactory devices = {});
    ~SelectCD() override;

    void scanDrives();
    // Lists the tracks of `drive`, every audio track ticked; false when the
    // disc can't be read.
    bool fillTracks(const QString &drive);
    // For a program that is ending: a rip still going ends, and nothing of
    // it reaches the list or a box.
    void stopRip();

    // How the rip reads: Secure or Fast, Test and copy, the drive's read offset.
    QComboBox *modeCombo() const { return m_mode; }
    QCheckBox *testAndCopyBox() const { return m_testAndCopy; }
    QSpinBox *offsetBox() const { return m_offset; }

signals:
    void addAudioCD(QStringList filename);

public slots:
    void onSelectNone();
    void onSelectAll();
    void onComboChanged(QString);
    void onOK();
    void onCancel();
    void ripStarted(int);
    void startedFile(int);
    void updateProgress(int);
    void trackRipped(TrackRip rip);
    void finishedFile(QString);
    void onComplete();
    void ripError(QString);

protected:
    void showEvent(QShowEvent *event) override;
    // Escape and the window's close button cancel like Cancel.
    void reject() override;

private:
    void openImage();
    void addDrive(const QString &id);
    QString currentDrive() const;
    std::unique_ptr<CdDevice> newDevice() const;

    CdDeviceFactory devices;
    QComboBox *m_mode;
    QCheckBox *m_testAndCopy;
    QSpinBox *m_offset;
    // Tracks of the running rip not read cleanly, by number.
    QStringList marked;
    CDRipThread *ripThread;
    // Images opened in this session; they stay listed across rescans.
    QStringList images;
    int currentItem = 0;
    int itemCount = 0;
};
