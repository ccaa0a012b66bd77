#include "disc/cd/ripsettings.h"

#include "platform/folders.h"

#include <QSettings>

#include <algorithm>

namespace {

QSettings settings()
{
    return QSettings(Folders::productFolder() + Folders::separator() + "settings.ini", QSettings::IniFormat);
}

} // namespace

int RipSettings::readOffset()
{
    return std::clamp(settings().value("cdReadOffset", 0).toInt(), -offsetLimit, offsetLimit);
}

void RipSettings::setReadOffset(int samples)
{
    settings().setValue("cdReadOffset", std::clamp(samples, -offsetLimit, offsetLimit));
}
