#pragma once

#include <QString>
#include <QThread>

// Authors and burns a finished run onto a disc. Not built yet: a started
// burn ends at once as a failure.
class BurnDisc : public QThread
{
    Q_OBJECT
public:
    explicit BurnDisc(QObject *parent = nullptr);
    ~BurnDisc() override;

    void setJob(const QString &discType, const QString &device, const QString &sourceFolder,
                const QString &videoStandard);

signals:
    void burnComplete(bool, QString, QString);
    void burnProgress(int);
    void textStatus(QString);
    void burnEstTime(QString);

protected:
    void run() override;

private:
    QString m_discType;
    QString m_device;
    QString m_sourceFolder;
    QString m_videoStandard;
};
