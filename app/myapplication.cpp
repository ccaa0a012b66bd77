#include "app/myapplication.h"

#include "platform/prompts.h"

#include <QSessionManager>

MyApplication::MyApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    connect(this, &QGuiApplication::commitDataRequest, this, &MyApplication::commitData,
            Qt::DirectConnection);
}

void MyApplication::commitData(QSessionManager &manager)
{
    if (!manager.allowsInteraction())
        return;
    if (confirmShutdown())
        manager.release();
    else
        manager.cancel();
}

bool MyApplication::confirmShutdown()
{
    return Prompts::question("Confirmation Required",
                             "Your conversion has been cancelled. Are you sure you want to shut down?",
                             QMessageBox::Warning);
}
