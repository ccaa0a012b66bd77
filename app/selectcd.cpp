#include "app/selectcd.h"

#include "platform/prompts.h"

SelectCD::SelectCD(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Select CD Tracks"));
}

void SelectCD::runModal()
{
    Prompts::warning("Reading audio CDs is not available in this version of MediaForgeStudio.");
}
