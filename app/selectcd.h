#pragma once

#include "app/ripdialog.h"
#include "disc/cd/cddevice.h"

#include <QStringList>

class CDRipThread;

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
    CDRipThread *ripThread;
    // Images opened in this session; they stay listed across rescans.
    QStringList images;
    int currentItem = 0;
    int itemCount = 0;
};
