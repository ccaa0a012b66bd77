#pragma once

#include <QStringList>

class MainWindow;

// The whole program: folders, catalogue check, window, event loop.
int startApplication(int argc, char **argv);

// Command-line entries whose text after the last "." is an accepted
// extension, compared exactly; the list includes the program's own path.
QStringList acceptedCommandLineFiles(const QStringList &arguments, const QStringList &extensions);

// Hands command-line files to the page as one drop.
void handOverCommandLine(MainWindow &window, const QStringList &arguments);

// Frameless, see-through frame and title.
void dressWindow(MainWindow &window);
