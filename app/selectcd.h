#pragma once

#include <QDialog>
#include <QStringList>

// Audio-CD track selection. Ripping is not built yet: the dialog says so.
class SelectCD : public QDialog
{
    Q_OBJECT
public:
    explicit SelectCD(QWidget *parent = nullptr);
    // Runs the dialog modally.
    void runModal();

signals:
    void addAudioCD(QStringList filename);
    void minimize();
};
