#include "app/selectdvd.h"

#include "platform/prompts.h"

SelectDVD::SelectDVD(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Select DVD Titles"));
}

void SelectDVD::runModal()
{
    Prompts::warning("Reading DVDs is not available in this version of MediaForgeStudio.");
}
