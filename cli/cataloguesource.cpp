#include "cli/cataloguesource.h"
#include "cli/cli.h"

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
    const QString ownDamage = QFileInfo::exists(own) ? Catalogue::problem(own) : QString();
    const QString damaged = "the catalogue " + own + " is damaged (" + ownDamage + ")";
    const QString path = QFileInfo::exists(own) && ownDamage.isEmpty() ? own : pristine;
    const QString reinstall = "; please re-install MediaForgeStudio";
    if (!QFileInfo::exists(path)) {
        m_problem = ownDamage.isEmpty() ? "no catalogue: neither " + own + " nor " + pristine + " exists" + reinstall
                                        : damaged + " and " + pristine + " does not exist" + reinstall;
        return;
    }
    if (!ownDamage.isEmpty())
        m_note = damaged + "; reading " + pristine;
    const QString damage = path == own ? QString() : Catalogue::problem(path);
    if (!damage.isEmpty())
        m_problem = "the catalogue " + path + " is damaged (" + damage + ")" + reinstall;
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

bool usable(const Invocation &call, const CatalogueSource &catalogue)
{
    if (!catalogue.note().isEmpty())
        call.complain(catalogue.note());
    if (!catalogue.isOpen())
        call.complain(catalogue.problem());
    return catalogue.isOpen();
}

} // namespace Cli
