#pragma once

#include "cli/cli.h"
#include "cli/progress.h"

#include "platform/quitsignals.h"

#include <QEventLoop>
#include <QHash>
#include <QObject>

#include <functional>

class RunController;

namespace Cli {

// Follows a run of the job queue for the command line: progress on standard
// error (each converting job with its time left, and the whole run's), each
// failure named with its reason, and a signal ends the run: the converting
// jobs stop and their partial outputs go.
class RunFollower : public QObject
{
public:
    RunFollower(const Invocation &call, RunController &run);

    // Until the run's end sets the status; a stop by a signal answers
    // 128 + the signal.
    int exec();
    // Ends exec() with `status`.
    void end(int status);
    int signalled() const { return m_signal; }
    Progress &progress() { return m_progress; }

    // What a finished job prints (its output) or says (why it failed); a
    // burn run prints nothing for its staged files.
    bool printOutputs = true;
    // Called for a signal that comes during a burn; answers what is said of it.
    std::function<QString()> stopBurn;

private:
    void show();
    void finished(quint64 id, bool ok);
    void stop(int signal);

    const Invocation &m_call;
    RunController &m_run;
    QEventLoop m_loop;
    QuitSignals m_stops;
    Progress m_progress;
    int m_signal = 0;
    // Each job's label as it was last shown, for its last line.
    QHash<quint64, QString> m_lastLabel;
    bool m_burning = false;
};

} // namespace Cli
