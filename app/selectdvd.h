#pragma once

#include <QDialog>
#include <QStringList>

// DVD title selection. Ripping is not built yet: the dialog says so.
class SelectDVD : public QDialog
{
    Q_OBJECT
public:
    explicit SelectDVD(QWidget *parent = nullptr);
    void runModal();

signals:
    void addDVD(QStringList filename, QString length);
    void minimize();
};
