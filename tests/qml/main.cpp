#include "jobs/runcontroller.h"
#include "support/heldengine.h"

#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQuickTest>

// The job queue as the page sees it, on an engine the page tests answer.
class HeldJobs : public RunController
{
    Q_OBJECT
    Q_PROPERTY(HeldEngine *engine READ engine CONSTANT)
public:
    explicit HeldJobs(QObject *parent = nullptr)
        : HeldJobs(new HeldEngine, parent)
    {
    }

    HeldEngine *engine() const { return m_held; }

    // Puts rows in a state without a run: "complete", "error" or "wait".
    Q_INVOKABLE void setStatus(int row, const QString &status)
    {
        list()->change(row, [&](Job &job) {
            job.state = status == "complete" ? Job::State::Done
                        : status == "error"  ? Job::State::Failed
                                             : Job::State::Waiting;
        });
    }

private:
    HeldJobs(HeldEngine *engine, QObject *parent)
        : RunController(engine, places(), parent)
        , m_held(engine)
    {
        engine->setParent(this);
    }

    static OutputPlan::Places places()
    {
        static QTemporaryDir scratch;
        return {scratch.filePath("Music/"), scratch.filePath("Videos/"), scratch.filePath("temp/")};
    }

    HeldEngine *m_held;
};

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *)
    {
        qmlRegisterType<HeldJobs>("MediaForgeStudio.Test", 1, 0, "HeldJobs");
        qmlRegisterUncreatableType<HeldEngine>("MediaForgeStudio.Test", 1, 0, "HeldEngine", "held by HeldJobs");
        qmlRegisterUncreatableType<JobList>("MediaForgeStudio.Test", 1, 0, "JobList", "held by HeldJobs");
    }
};

QUICK_TEST_MAIN_WITH_SETUP(qml, Setup)

#include "main.moc"
