#pragma once

#include "platform/filenames.h"
#include "platform/tools.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QStringList>

#include <signal.h>

// The built command line, run as a user runs it.
inline const QString builtProgram = MFS_TEST_BIN "/mediaforgestudio-cli";

struct Answer {
    int status = -1;
    QString out, err;
};

// Runs the program to its end, in `folder` when one is given, with file
// names as their bytes, as a shell gives them.
inline Answer cli(const QStringList &args, const QString &program = builtProgram, const QString &folder = {})
{
    QProcess p;
    p.setWorkingDirectory(folder);
    Tools::start(p, program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            FileNames::decode(p.readAllStandardOutput()), FileNames::decode(p.readAllStandardError())};
}

// Every entry below `dir` but folders, hidden ones and links that lead
// nowhere included, by its path from there.
inline QStringList filesBelow(const QString &dir)
{
    QStringList files;
    for (QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories); it.hasNext();)
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Signals a running program and waits for its exit code. Never kill(0): a
// program that has ended has no id, and 0 is this test's whole process group.
inline int interrupt(QProcess &p, int signal = SIGINT)
{
    if (p.state() != QProcess::Running || p.processId() <= 0)
        return -2;
    ::kill(pid_t(p.processId()), signal);
    return p.waitForFinished(10000) ? p.exitCode() : -1;
}
