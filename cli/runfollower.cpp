#include "cli/runfollower.h"

#include "jobs/runcontroller.h"

namespace Cli {

RunFollower::RunFollower(const Invocation &call, RunController &run)
    : m_call(call)
    , m_run(run)
{
    connect(&run, &RunController::jobStarted, this, &RunFollower::show);
    connect(&run, &RunController::jobProgressed, this, &RunFollower::show);
    connect(&run, &RunController::jobFinished, this, &RunFollower::finished);
    connect(&run, &RunController::noStreamsFound, this, [this](const QString &name, const QString &path) {
        m_progress.end();
        m_call.complain(path + ": " + noStreamsText(name));
    });
    connect(&run, &RunController::converterMissing, this, [this](const QString &message) {
        m_progress.end();
        m_call.complain(oneLine(message));
        end(JobFailed);
    });
    connect(&run, &RunController::burnStarted, this, [this] { m_burning = true; });
    connect(&m_stops, &QuitSignals::received, this, &RunFollower::stop);
}

int RunFollower::exec()
{
    return m_loop.exec();
}

void RunFollower::end(int status)
{
    // A stop by a signal has the last word.
    if (m_signal)
        return;
    m_progress.end();
    m_loop.exit(status);
}

// "Converting 2 of 5: song.mp3 (0:03 left)", or with several at once each
// with its time left, then the whole run's.
void RunFollower::show()
{
    int total = 0, done = 0;
    QList<const Job *> running;
    for (const Job &job : m_run.list()->jobs()) {
        if (job.isBurn())
            continue;
        ++total;
        done += job.isFinished() ? 1 : 0;
        if (job.state == Job::State::Converting)
            running << &job;
    }
    if (running.isEmpty())
        return;
    const auto left = [](const QString &time) { return time.isEmpty() ? QString() : " (" + time + " left)"; };
    QString label = QString("Converting %1 of %2: ").arg(done + 1).arg(total);
    for (const Job *job : running)
        m_lastLabel.insert(job->id, label + job->newFileName);
    if (running.size() == 1) {
        m_progress.show(label + running.first()->newFileName + left(running.first()->timeLeft),
                        running.first()->percent());
        return;
    }
    QStringList each;
    for (const Job *job : running)
        each << job->newFileName + (job->timeLeft.isEmpty() ? QString() : " " + job->timeLeft);
    m_progress.show(label + each.join(", ") + (m_run.timeLeft().isEmpty() ? QString() : "; all" + left(m_run.timeLeft())),
                    m_run.overallProgress());
}

void RunFollower::finished(quint64 id, bool ok)
{
    const int row = m_run.list()->rowOf(id);
    if (row < 0 || m_run.list()->at(row).isBurn())
        return;
    const Job &job = m_run.list()->at(row);
    if (ok)
        m_progress.show(m_lastLabel.value(id), 100);
    m_progress.end();
    if (!ok)
        m_call.complain(job.inputPath() + ": " + job.errorMsg);
    else if (printOutputs)
        result(job.finalOutput);
}

void RunFollower::stop(int signal)
{
    // Later signals find the stop under way.
    if (m_signal)
        return;
    m_signal = signal;
    QString said;
    if (m_burning && stopBurn) {
        said = stopBurn();
    } else {
        QStringList stopped;
        for (const Job &job : m_run.list()->jobs()) {
            if (job.state == Job::State::Converting)
                stopped << job.inputPath();
        }
        said = stopped.isEmpty() ? QString("nothing was converted") : stopped.join(", ") + " was not converted";
        if (!printOutputs)
            said = "nothing was burned";
    }
    // The runners remove what they had begun to write as they stop, and the
    // run its staging folder.
    m_run.cancel();
    m_run.shutdown();
    m_progress.end();
    m_call.complain("stopped; " + said);
    m_loop.exit(stoppedStatus(signal));
}

} // namespace Cli
