#include <QQmlContext>
#include <QQmlEngine>
#include <QUrl>
#include <QtQuickTest>

// Gives the suites the page's source folder; the suites put their own
// backend double in front of it.
class Setup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(
            "pageFolder", QUrl::fromLocalFile(QStringLiteral(MFS_PAGE_FOLDER "/")).toString());
    }
};

QUICK_TEST_MAIN_WITH_SETUP(qml, Setup)

#include "main.moc"
