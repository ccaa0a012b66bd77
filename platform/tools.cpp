#include "platform/tools.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace Tools {

QString find(const QString &name)
{
    const QFileInfo own(QCoreApplication::applicationDirPath() + "/" + name);
    if (own.isFile() && own.isExecutable())
        return own.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

QString toolText(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

void tieToProgram(QProcess &process)
{
    const pid_t program = ::getpid();
    process.setChildProcessModifier([program] {
        // Runs in the child between fork and exec: only async-signal-safe calls.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // Out of the program's process group, so that a terminal's Ctrl+C or
        // hang-up reaches only the program, which ends its tools and cleans
        // up after them.
        ::setpgid(0, 0);
        // The program may have died before the tie was made.
        if (::getppid() != program)
            ::_exit(127);
    });
}

Run run(const QString &name, const QStringList &args, int timeoutMs,
        const QProcessEnvironment &environment)
{
    Run result;
    const QString program = find(name);
    if (program.isEmpty()) {
        result.error = name + " could not be found";
        return result;
    }
    result.found = true;
    QProcess tool;
    tieToProgram(tool);
    tool.setProcessEnvironment(environment);
    tool.start(program, args);
    if (!tool.waitForStarted(timeoutMs)) {
        result.error = name + " could not be started: " + tool.errorString();
        return result;
    }
    result.started = true;
    tool.closeWriteChannel();
    if (!tool.waitForFinished(timeoutMs)) {
        result.timedOut = true;
        tool.kill();
        tool.waitForFinished(5000);
    } else if (tool.exitStatus() == QProcess::NormalExit) {
        result.exitCode = tool.exitCode();
    }
    result.out = tool.readAllStandardOutput();
    result.err = tool.readAllStandardError();
    return result;
}

} // namespace Tools
