#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace Cli {

// While it lives, SIGINT, SIGTERM and SIGHUP arrive as a Qt signal on the
// main thread, so that a command can stop its job the way the window's stop
// does; outside it they end the program as usual. The handler only writes
// the signal's number into a pipe, the one thing safe to do there.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // The first signal received, 0 while none came.
    int received() const { return m_received; }
    // The same, after taking in a signal that the event loop has not
    // delivered yet: for decisions that must not race with one.
    int check();
    // The exit status for a stop by `signal`, as shells report it.
    static int status(int signal) { return 128 + signal; }

signals:
    // Once, for the first signal; later ones find the stop under way.
    void arrived(int signal);

private:

    int m_pipe[2] = {-1, -1};
    struct sigaction m_previous[3];
    QSocketNotifier *m_notifier = nullptr;
    int m_received = 0;
};

} // namespace Cli
