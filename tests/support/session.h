#pragma once

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// One run of the program seen from outside: the test subject (the real
// start-up and page, tests/robust/subject.cpp) in the current $appdata,
// driven by a page script; what it prints, and what of it outlives it.
struct Session {
    QProcess process;
    QString out;

    Session(const QStringList &files, const QString &script, const QString &answers = {})
    {
        // Orphans of the subject come here, so none escapes the count.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        qputenv("MFS_SUBJECT_SCRIPT", script.toUtf8());
        qputenv("MFS_SUBJECT_ANSWERS", answers.toUtf8());
        // A group of its own, signalled as a whole the way a terminal does.
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(MFS_SUBJECT, files);
    }
    ~Session()
    {
        process.kill();
        process.waitForFinished(5000);
        for (int pid : descendants(::getpid()))
            ::kill(pid, SIGKILL);
    }

    // Live processes below `pid`, only those called `name` when one is given.
    static QList<int> descendants(int pid, const QString &name = {})
    {
        QMultiHash<int, int> children;
        QHash<int, QString> names;
        for (const QString &entry : QDir("/proc").entryList({"[1-9]*"}, QDir::Dirs)) {
            QFile file("/proc/" + entry + "/stat");
            const QString stat = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
            const QStringList fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields[0] != "Z") {
                children.insert(fields[1].toInt(), entry.toInt());
                names[entry.toInt()] = stat.section('(', 1).section(')', 0, 0);
            }
        }
        QList<int> found, queue{pid};
        while (!queue.isEmpty()) {
            for (int child : children.values(queue.takeFirst())) {
                queue << child;
                if (name.isEmpty() || names[child] == name)
                    found << child;
            }
        }
        return found;
    }
    // Its printed lines of one kind ("box", "page"), without the kind.
    QStringList printed(const QString &kind)
    {
        out += process.readAllStandardOutput();
        return out.split('\n').filter(QRegularExpression("^" + kind + ": ")).replaceInStrings(kind + ": ", "");
    }
};
