#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the thread that made the
// watcher, so the program can end cleanly from its event loop. The handler
// itself only writes the number to a pipe. One watcher at a time; while it
// lives, those signals no longer end the program by themselves.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    void received(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};
