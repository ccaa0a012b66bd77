#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

class QProcess;

namespace Tools {

// Outside programs are looked up in the program's own folder first, then on
// PATH. Returns an empty string when the program is nowhere to be found.
QString find(const QString &name);

// Tool output is 8-bit text up to the first NUL byte.
QString toolText(const QByteArray &bytes);

// Every child is started through here: it dies with the program, even when
// the program is killed or crashes, so no tool is left working on its own;
// signals for the program's process group don't reach it.
// The tie is to the starting thread, so start a child on the thread that
// waits for it.
void tieToProgram(QProcess &process);

// Starts `program` (a path, as find() gives it) with `args`, tied as above.
// Names are handed over as their very bytes (FileNames::encode): Qt's own
// start turns bytes that are not UTF-8 into U+FFFD, so a file whose name
// isn't UTF-8 would not be found by the tool. Start and wait on one thread.
// `inChild` runs in the child before the tool does (async-signal-safe calls only).
void start(QProcess &process, const QString &program, const QStringList &args,
           QIODevice::OpenMode mode = QIODevice::ReadWrite, const std::function<void()> &inChild = {});

// One run of a short tool, bounded in time.
struct Run {
    bool found = false;    // the program was found
    bool started = false;  // ... and could be started
    bool timedOut = false; // killed after the time limit; the output is what came so far
    int exitCode = -1;     // -1 unless it ended by itself
    QByteArray out;
    QByteArray err;
    QString error; // why it could not be started, for messages
    bool ok() const { return started && !timedOut && exitCode == 0; }
};
Run run(const QString &name, const QStringList &args, int timeoutMs = 30000,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

} // namespace Tools
