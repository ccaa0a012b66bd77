#include "app/startup.h"

#include "app/droppablewidget.h"
#include "app/mainwindow.h"
#include "app/myapplication.h"
#include "catalogue/catalogue.h"
#include "disc/burn/stagingfolder.h"
#include "jobs/jobstore.h"
#include "jobs/runcontroller.h"
#include "platform/filenames.h"
#include "platform/folders.h"
#include "platform/prompts.h"
#include "platform/quitsignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

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

int checkCatalogue(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString problem = Catalogue::problem(QFile::decodeName(argv[2]));
    if (problem.isEmpty())
        return 0;
    std::fprintf(stderr, "%s\n", qPrintable(problem));
    return 2;
}

int startApplication(int argc, char **argv, const std::function<void(MainWindow &)> &started)
{
    if (argc == 3 && std::strcmp(argv[1], "--check-catalogue") == 0)
        return checkCatalogue(argc, argv);

    MyApplication app(argc, argv);
    app.setApplicationName("MediaForgeStudio");
    app.setApplicationVersion(MFS_VERSION);
    app.setDesktopFileName("mediaforgestudio");
    // From here on a signal waits for an event loop instead of ending the
    // program on the spot. Any loop serves, a box's own included (exit()
    // ends them all), so that a "Fatal Error" box can't keep the program up.
    QuitSignals quitSignals;
    int signalled = 0;
    MainWindow *running = nullptr;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, [&](int number) {
        if (signalled)
            return;
        signalled = number;
        if (running)
            running->endWithoutQuestion();
        QCoreApplication::exit(128 + number);
    });
    const auto fatal = [&signalled](const QString &text) {
        Prompts::critical("Fatal Error", text);
        return signalled ? 128 + signalled : 1;
    };

    QDir().mkpath(Folders::productFolder() + Folders::separator() + "temp");
    // The command line's staging folders of burns that were killed.
    StagingFolder::sweep(Folders::tempFolder());
    const QString catalogue = Folders::cataloguePath();
    if (!QFileInfo::exists(catalogue))
        return fatal("data.db not found. Please try re-installing!");
    const QString problem = Catalogue::problem(catalogue);
    if (!problem.isEmpty()) {
        return fatal("The catalogue " + QDir::toNativeSeparators(catalogue) + " is damaged: " + problem
                     + ".\n\nPlease try re-installing!");
    }

    MainWindow window;
    running = &window;
    window.jobStore()->offerRestore();
    if (signalled)
        return 128 + signalled;
    // Saved from here on: what an earlier run left has been offered.
    window.jobs()->setStore(window.jobStore());
    // As their bytes, without Qt's own options: Qt's list spoils names that aren't UTF-8.
    handOverCommandLine(window, FileNames::arguments(argc, argv));
    dressWindow(window);
    window.show();
    if (started)
        started(window);
    const int code = app.exec();
    window.stopWorkers();
    if (!signalled)
        window.jobStore()->discard();
    return code;
}
