#include "cli/progress.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace Cli {

namespace {

int terminalColumns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

Progress::Progress()
    : m_terminal(::isatty(STDERR_FILENO) == 1)
{
}

void Progress::show(const QString &label, int percent)
{
    if (label == m_label && percent == m_percent)
        return;
    m_label = label;
    m_percent = percent;
    const QString amount = " " + QString::number(percent) + "%";
    QString text = label + amount;
    if (m_terminal) {
        // A line that wraps can't be rewritten in place; long names give way.
        const int room = terminalColumns() - 1 - int(amount.size());
        if (label.size() > room && room > 3)
            text = label.left(room - 3) + "..." + amount;
        text = "\r" + text + "\033[K";
    } else {
        text += "\n";
    }
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    m_open = m_terminal;
}

void Progress::end()
{
    if (m_open)
        std::fputs("\n", stderr);
    m_open = false;
    m_label.clear();
    m_percent = -1;
}

} // namespace Cli
