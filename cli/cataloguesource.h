#pragma once

#include <QList>
#include <QString>

namespace Cli {

struct Preset {
    QString id;
    QString caption;
    QString extension;
    QString arguments;
};

// A device or a file format with its presets.
struct Choice {
    QString id;
    QString caption;
    bool device = false;
    QList<Preset> presets;
};

// The catalogue, open read-only while it lives: the user's own data.db, or
// when the user has none, or a damaged one, the pristine copy installed with
// the program (the user's file is left as it is).
class CatalogueSource
{
public:
    CatalogueSource();
    ~CatalogueSource();

    bool isOpen() const { return m_problem.isEmpty(); }
    // Why it is not open, naming the places looked at.
    QString problem() const { return m_problem; }
    // Set when the user's catalogue was passed over for the pristine one.
    QString note() const { return m_note; }
    // Devices, then formats, each with its presets, in the window's order.
    QList<Choice> choices() const;

    static QString pristinePath();

private:
    QString m_problem;
    QString m_note;
};

const Preset *findPreset(const QList<Choice> &choices, const QString &id);

struct Invocation;
// Says what became of the catalogue; false when there is none to read.
bool usable(const Invocation &call, const CatalogueSource &catalogue);

} // namespace Cli
