#include "app/startup.h"

#include "app/mainwindow.h"
#include "app/myapplication.h"
#include "app/droppablewidget.h"
#include "platform/folders.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFileInfo>

QStringList acceptedCommandLineFiles(const QStringList &arguments, const QStringList &extensions)
{
    QStringList files;
    for (const QString &arg : arguments) {
        if (extensions.contains(arg.mid(arg.lastIndexOf('.') + 1)))
            files << Folders::nativeAbsolute(arg);
    }
    return files;
}

void handOverCommandLine(MainWindow &window, const QStringList &arguments)
{
    if (arguments.size() > 1)
        emit window.fileDropped(
            acceptedCommandLineFiles(arguments, window.dropTarget()->acceptedExtensions()));
}

void dressWindow(MainWindow &window)
{
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setStyleSheet("QQuickWidget { background:transparent; }");
    window.setWindowTitle("MediaForgeStudio");
}

int startApplication(int argc, char **argv)
{
    MyApplication app(argc, argv);
    app.setApplicationName("MediaForgeStudio");
    app.setApplicationVersion("0.1");
    app.setDesktopFileName("mediaforgestudio");

    QDir().mkpath(Folders::productFolder() + Folders::separator() + "temp");
    if (!QFileInfo::exists(Folders::cataloguePath())) {
        Prompts::critical("Fatal Error", "data.db not found. Please try re-installing!");
        return 1;
    }

    MainWindow window;
    handOverCommandLine(window, app.arguments());
    dressWindow(window);
    window.show();
    const int code = app.exec();
    window.stopWorkers();
    return code;
}
