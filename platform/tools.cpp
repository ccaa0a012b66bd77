#include "platform/tools.h"

#include "platform/filenames.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace Tools {

namespace {

// A start that the child makes itself, for names Qt can't hand over: every
// byte string is made before the fork, as the child may only make
// async-signal-safe calls.
struct Exec {
    std::vector<QByteArray> strings;
    std::vector<char *> argv;
    std::vector<char *> envp;
    bool ownEnvironment = false; // else the program's own
    bool plainProgram = true;
};

std::shared_ptr<const Exec> execFor(const QProcess &process, const QString &program,
                                    const QStringList &args)
{
    bool plain = FileNames::isPlain(program);
    for (const QString &arg : args)
        plain = plain && FileNames::isPlain(arg);
    if (plain)
        return nullptr;
    auto exec = std::make_shared<Exec>();
    exec->plainProgram = FileNames::isPlain(program);
    exec->strings.push_back(FileNames::encode(program));
    for (const QString &arg : args)
        exec->strings.push_back(FileNames::encode(arg));
    const size_t argc = exec->strings.size();
    const QProcessEnvironment environment = process.processEnvironment();
    exec->ownEnvironment = !environment.inheritsFromParent();
    if (exec->ownEnvironment) {
        for (const QString &entry : environment.toStringList())
            exec->strings.push_back(FileNames::encode(entry));
    }
    for (size_t i = 0; i < exec->strings.size(); ++i)
        (i < argc ? exec->argv : exec->envp).push_back(exec->strings[i].data());
    exec->argv.push_back(nullptr);
    exec->envp.push_back(nullptr);
    return exec;
}

void tie(QProcess &process, std::shared_ptr<const Exec> exec, const std::function<void()> &inChild = {})
{
    const pid_t program = ::getpid();
    process.setChildProcessModifier([program, exec, inChild] {
        // Runs in the child between fork and exec: only async-signal-safe calls.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // Out of the program's process group, so that a terminal's Ctrl+C or
        // hang-up reaches only the program, which ends its tools and cleans
        // up after them.
        ::setpgid(0, 0);
        // The program may have died before the tie was made.
        if (::getppid() != program)
            ::_exit(127);
        if (inChild)
            inChild();
        if (!exec)
            return;
        // Qt has set up the channels and the working folder by now.
        ::execve(exec->argv[0], exec->argv.data(), exec->ownEnvironment ? exec->envp.data() : environ);
        // Qt's own start of the same program then fails the same way and
        // says why; under a name it can't spell, it might find another.
        if (!exec->plainProgram)
            ::_exit(127);
    });
}

} // namespace

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
    tie(process, nullptr);
}

void start(QProcess &process, const QString &program, const QStringList &args, QIODevice::OpenMode mode,
           const std::function<void()> &inChild)
{
    tie(process, execFor(process, program, args), inChild);
    process.start(program, args, mode);
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
    // The program's own environment goes over as its bytes.
    if (environment != QProcessEnvironment::systemEnvironment())
        tool.setProcessEnvironment(environment);
    start(tool, program, args);
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
