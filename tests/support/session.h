#pragma once

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// One run of the program, seen from outside: the test subject (the real
// start-up and page, tests/robust/subject.cpp) in the current $appdata,
// driven by a page script, signalled, and checked for processes that
// outlive it.
class Session
{
public:
    Session(const QStringList &files, const QString &script, const QString &answers = {})
    {
        // Orphans of the subject come to this process, so none escapes the count.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MFS_SUBJECT_SCRIPT", script);
        env.insert("MFS_SUBJECT_ANSWERS", answers);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(env);
        m_process.start(MFS_SUBJECT, files);
    }
    ~Session()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        // A failed check must not leave a converter running.
        for (int pid : survivors())
            ::kill(pid_t(pid), SIGKILL);
    }

    // Process ids below `pid` whose command is `name` (any name when empty),
    // zombies left out.
    static QList<int> descendants(int pid, const QString &name = {})
    {
        QMultiHash<int, int> children;
        QHash<int, QString> commands;
        for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + entry + "/stat");
            if (entry.toInt() <= 0 || !stat.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromLocal8Bit(stat.readAll());
            const QStringList after = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (after.size() > 1 && after.at(0) != "Z") {
                children.insert(after.at(1).toInt(), entry.toInt());
                commands.insert(entry.toInt(), text.section('(', 1).section(')', 0, 0));
            }
        }
        QList<int> found, queue{pid};
        while (!queue.isEmpty()) {
            for (int child : children.values(queue.takeFirst())) {
                queue << child;
                if (name.isEmpty() || commands.value(child) == name)
                    found << child;
            }
        }
        return found;
    }

    int pid() const { return int(m_process.processId()); }
    // Waits for a working child process called `name`.
    bool waitForChild(const QString &name, int timeoutMs = 20000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (descendants(pid(), name).isEmpty()) {
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(20);
        }
        return true;
    }
    void signal(int number) { ::kill(pid_t(pid()), number); }
    bool waitEnded(int timeoutMs = 20000) { return m_process.waitForFinished(timeoutMs); }
    // What ending the subject left alive of what it had started.
    QList<int> survivors() const { return descendants(int(::getpid())); }
    bool crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    int exitCode() const { return m_process.exitCode(); }
    // Its printed lines of one kind ("box", "page", "error"), without the kind.
    QStringList printed(const QString &kind)
    {
        m_out += QString::fromLocal8Bit(m_process.readAllStandardOutput());
        QStringList lines;
        for (const QString &line : m_out.split('\n')) {
            if (line.startsWith(kind + ": "))
                lines << line.mid(kind.size() + 2);
        }
        return lines;
    }

private:
    QProcess m_process;
    QString m_out;
};
