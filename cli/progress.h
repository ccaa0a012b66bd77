#pragma once

#include <QString>

namespace Cli {

// Progress of the running job on standard error: one line rewritten in place
// on a terminal, otherwise a new line each time the whole percent changes,
// so that a log file gets a short, readable record.
class Progress
{
public:
    Progress();
    explicit Progress(bool terminal) : m_terminal(terminal) {}

    void show(const QString &label, int percent);
    // Ends the line before other text goes to standard error.
    void end();

private:
    bool m_terminal;
    QString m_label;
    int m_percent = -1;
    bool m_open = false;
};

} // namespace Cli
