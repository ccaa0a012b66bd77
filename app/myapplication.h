#pragma once

#include <QApplication>

class QSessionManager;

class MyApplication : public QApplication
{
    Q_OBJECT
public:
    MyApplication(int &argc, char **argv);

    // At session end: asks whether to let the session end.
    void commitData(QSessionManager &manager);
    // The question itself; true lets the session end.
    static bool confirmShutdown();
};
