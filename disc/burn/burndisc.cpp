#include "disc/burn/burndisc.h"

BurnDisc::BurnDisc(QObject *parent)
    : QThread(parent)
{
}

BurnDisc::~BurnDisc()
{
    wait();
}

void BurnDisc::setJob(const QString &discType, const QString &device, const QString &sourceFolder,
                      const QString &videoStandard)
{
    m_discType = discType;
    m_device = device;
    m_sourceFolder = sourceFolder;
    m_videoStandard = videoStandard;
}

void BurnDisc::run()
{
    emit textStatus("Burning is not available");
    emit burnComplete(false, QString(), QString());
}
