#pragma once

#include "jobs/engine.h"

#include <QHash>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

class BurnDisc;
class ConversionThread;
class QThread;

// The real tools: a pool of probes (as many at once as there are cores),
// one conversion runner per job converting, plain copies on a thread each,
// and the burner.
class ToolEngine : public JobEngine
{
    Q_OBJECT
public:
    explicit ToolEngine(QObject *parent = nullptr);
    ~ToolEngine() override;

    // Probes of the command line need no picture; "" keeps them off.
    void setThumbnailFolder(const QString &folder) { m_thumbnailFolder = folder; }

    void probe(quint64 id, const QString &path, bool thumbnail) override;
    void cancelProbes() override;
    void convert(quint64 id, const Conversion &conversion) override;
    void stop(quint64 id) override;
    void burn(const Burn &burn) override;
    void stopBurn() override;
    void shutdown() override;

    BurnDisc *burner() const { return m_burner; }

private:
    ConversionThread *idleRunner();
    void copy(quint64 id, const Conversion &conversion);
    void copied(quint64 id);

    QString m_thumbnailFolder;
    QThreadPool m_probes;
    // Raised to drop every probe not yet answered; each probe keeps the
    // value it started under.
    std::atomic<quint64> m_probeGeneration{0};
    std::atomic<bool> m_quit{false};
    bool m_converterMissingTold = false;
    std::vector<std::unique_ptr<ConversionThread>> m_runners;
    QHash<ConversionThread *, quint64> m_running;
    struct Copy;
    QHash<quint64, std::shared_ptr<Copy>> m_copies;
    BurnDisc *m_burner;
};
