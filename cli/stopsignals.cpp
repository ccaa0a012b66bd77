#include "cli/stopsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace Cli {

namespace {

constexpr int handled[] = {SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t writeEnd = -1;

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (::write(writeEnd, &number, 1) < 0) {
        // A full pipe already holds a stop; nothing else can be done here.
    }
    errno = saved;
}

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    // Without a pipe (no descriptors left) the signals keep ending the
    // program at once, which still ends the converter with it.
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_pipe[0] = m_pipe[1] = -1;
        return;
    }
    writeEnd = m_pipe[1];
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::check);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(handled[i], &action, &m_previous[i]);
}

StopSignals::~StopSignals()
{
    if (m_pipe[0] < 0)
        return;
    for (int i = 0; i < 3; ++i)
        ::sigaction(handled[i], &m_previous[i], nullptr);
    writeEnd = -1;
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

int StopSignals::check()
{
    unsigned char number = 0;
    while (m_pipe[0] >= 0 && ::read(m_pipe[0], &number, 1) == 1) {
        if (!m_received) {
            m_received = number;
            emit arrived(number);
        }
    }
    return m_received;
}

} // namespace Cli
