#include "disc/burn/burntools.h"

#include "platform/tools.h"

namespace BurnTools {

QString package(const QString &program)
{
    if (program == cdState)
        return "libburn4";
    return program == dvdInfo ? QString("dvd+rw-tools") : program;
}

QString cdBurner()
{
    for (const char *name : {"cdrskin", "wodim"}) {
        if (!Tools::find(name).isEmpty())
            return name;
    }
    return {};
}

QString missing(const QString &program, const QString &purpose)
{
    if (!Tools::find(program).isEmpty())
        return {};
    if (program == cdState)
        return purpose + " needs " + program + ", which comes with MediaForgeStudio but is missing. "
               "Please reinstall MediaForgeStudio (it needs the Debian package libburn4).";
    return purpose + " needs " + program + ", which is not installed. "
           "Please install the Debian package " + package(program) + ".";
}

QString unstartable(const QString &program, const QString &error)
{
    if (program == cdState)
        return error + ". Please reinstall MediaForgeStudio (it needs the Debian package libburn4).";
    return error + ". Please reinstall the Debian package " + package(program) + ".";
}

} // namespace BurnTools
