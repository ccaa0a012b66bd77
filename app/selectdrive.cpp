#include "app/selectdrive.h"

#include "platform/prompts.h"

SelectDrive::SelectDrive(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Select Burn Drive"));
}

QString SelectDrive::choose(const QString &, int)
{
    Prompts::warning("Burning discs is not available in this version of MediaForgeStudio.");
    return QString();
}
