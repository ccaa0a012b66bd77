#include "cli/cli.h"

#include "platform/filenames.h"

#include <QCoreApplication>

namespace Cli {

// The overview lists the commands in this order; each group adds its own.
QList<Command> allCommands()
{
    return mediaCommands() + discCommands() + burnCommands();
}

} // namespace Cli

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The same name as the window's, so that both find the same product folder.
    app.setApplicationName("MediaForgeStudio");
    app.setApplicationVersion(MFS_VERSION);
    // File names as their bytes: Qt's own list spoils those that aren't UTF-8.
    return Cli::dispatch(FileNames::arguments(argc, argv), Cli::allCommands());
}
