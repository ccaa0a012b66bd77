#pragma once

#include "platform/filenames.h"
#include "platform/tools.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStringList>

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

inline QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file below `dir`, by its path from there.
inline QStringList filesBelow(const QString &dir)
{
    QStringList files;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
