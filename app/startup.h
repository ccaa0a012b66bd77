#pragma once

#include <QStringList>

#include <functional>

class MainWindow;

// The whole program: folders, catalogue check, window, event loop. SIGTERM,
// SIGINT and SIGHUP end it as a confirmed close does, with 128 + the signal's
// number. `started` runs once the window shows (tests drive the page there).
// "--check-catalogue FILE" only checks FILE: exit code 0 when it serves, 2
// with the reason on standard error when it is damaged.
int startApplication(int argc, char **argv, const std::function<void(MainWindow &)> &started = {});

// Command-line entries whose text after the last "." is an accepted
// extension, compared exactly; the list includes the program's own path.
QStringList acceptedCommandLineFiles(const QStringList &arguments, const QStringList &extensions);

// Hands command-line files to the page as one drop.
void handOverCommandLine(MainWindow &window, const QStringList &arguments);

// Frameless, see-through frame and title.
void dressWindow(MainWindow &window);
