#include "cli/cataloguesource.h"

#include "catalogue/catalogue.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Cli {

namespace {

QList<Choice> readChoices(const QStringList &rows, bool device)
{
    QList<Choice> list;
    for (int i = 0; i + Catalogue::formatColumns <= rows.size(); i += Catalogue::formatColumns) {
        Choice choice{rows.at(i), rows.at(i + 1), device, {}};
        const QStringList presets = Catalogue::outputModel(choice.id);
        for (int p = 0; p + Catalogue::outputColumns <= presets.size(); p += Catalogue::outputColumns)
            choice.presets << Preset{presets.at(p), presets.at(p + 1), presets.at(p + 4), presets.at(p + 8)};
        list << choice;
    }
    return list;
}

} // namespace

CatalogueSource::CatalogueSource()
{
    const QString own = Folders::cataloguePath();
    const QString pristine = pristinePath();
    QString path = pristine;
    if (QFileInfo::exists(own)) {
        const QString damage = Catalogue::problem(own);
        if (damage.isEmpty())
            path = own;
        else
            m_note = "the catalogue " + own + " is damaged (" + damage + "); reading " + pristine;
    }
    if (!QFileInfo::exists(path)) {
        m_problem = (m_note.isEmpty() ? "no catalogue: neither " + own + " nor " + pristine + " exists"
                                      : m_note.section(';', 0, 0) + " and " + pristine + " does not exist")
                    + "; please re-install MediaForgeStudio";
        m_note.clear();
        return;
    }
    const QString damage = path == own ? QString() : Catalogue::problem(path);
    if (!damage.isEmpty())
        m_problem = "the catalogue " + path + " is damaged (" + damage + "); please re-install MediaForgeStudio";
    else if (!Catalogue::open(path, Catalogue::Access::ReadOnly))
        m_problem = "can't open the catalogue " + path;
}

CatalogueSource::~CatalogueSource()
{
    Catalogue::close();
}

QList<Choice> CatalogueSource::choices() const
{
    if (!isOpen())
        return {};
    return readChoices(Catalogue::deviceModel(), true) + readChoices(Catalogue::formatModel(), false);
}

QString CatalogueSource::pristinePath()
{
    // Where the installation puts it, relative to the program's own folder.
    return QDir::toNativeSeparators(QDir::cleanPath(QCoreApplication::applicationDirPath() + "/"
                                                    + MFS_PRISTINE_CATALOGUE));
}

const Preset *findPreset(const QList<Choice> &choices, const QString &id)
{
    for (const Choice &choice : choices) {
        for (const Preset &preset : choice.presets) {
            if (preset.id == id)
                return &preset;
        }
    }
    return nullptr;
}

} // namespace Cli
