#pragma once

#include <QDialog>
#include <QString>

// Burner choice. Burning is not built yet: choosing always ends cancelled.
class SelectDrive : public QDialog
{
    Q_OBJECT
public:
    explicit SelectDrive(QWidget *parent = nullptr);

    // The chosen burner's device id, or "" when cancelled.
    QString choose(const QString &discType, int neededSeconds);
    QString driveRoot() const { return m_driveRoot; }
    QString deviceId() const { return m_deviceId; }

private:
    QString m_driveRoot;
    QString m_deviceId;
};
