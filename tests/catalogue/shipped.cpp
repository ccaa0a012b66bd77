#include "shipped.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace Shipped {

namespace {

const char *const connectionName = "shipped-catalogue";

QSqlDatabase database()
{
    if (QSqlDatabase::contains(connectionName))
        return QSqlDatabase::database(connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connectionName);
    db.setDatabaseName(MFS_TEST_CATALOGUE);
    // Never touch the pristine copy that installs and tests share.
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
    if (!db.open())
        qFatal("can't open the built catalogue %s", MFS_TEST_CATALOGUE);
    return db;
}

QSqlQuery select(const QString &table)
{
    QSqlQuery q(database());
    if (!q.exec("SELECT * FROM " + table))
        qFatal("can't read %s", qPrintable(table));
    return q;
}

} // namespace

QSize parseSize(const QString &text)
{
    const QStringList parts = text.split('x');
    if (parts.size() != 2)
        return {};
    bool okW = false, okH = false;
    const int w = parts.at(0).toInt(&okW), h = parts.at(1).toInt(&okH);
    return okW && okH && w > 0 && h > 0 ? QSize(w, h) : QSize();
}

QString PresetRow::option(const QString &name) const
{
    const QStringList t = tokens();
    const int at = t.indexOf(name);
    return at >= 0 && at + 1 < t.size() ? t.at(at + 1) : QString();
}

QSize PresetRow::box() const
{
    if (audioOnly())
        return {};
    const QString target = option("-target");
    if (target == "pal-dvd")
        return {720, 576};
    if (target == "ntsc-dvd")
        return {720, 480};
    if (exactFrame())
        return parseSize(option("-s"));
    return tokens().first() == "-s" ? parseSize(tokens().value(1)) : QSize();
}

QList<AddRow> addRows()
{
    QList<AddRow> rows;
    for (QSqlQuery q = select("tbl_AddCategories"); q.next();)
        rows << AddRow{q.value(0).toInt(), q.value(1).toString(), q.value(3).toString(),
                       q.value(4).toString(), q.value(5).toString()};
    return rows;
}

QList<FormatRow> formatRows()
{
    QList<FormatRow> rows;
    for (QSqlQuery q = select("tbl_FormatCategories"); q.next();)
        rows << FormatRow{q.value(0).toInt(), q.value(1).toString(), q.value(3).toString(),
                          q.value(4).toInt() == 1, q.value(5).toInt(), q.value(6).toInt()};
    return rows;
}

QList<PresetRow> presetRows()
{
    QList<PresetRow> rows;
    for (QSqlQuery q = select("tbl_OutputCategories"); q.next();)
        rows << PresetRow{q.value(0).toInt(), q.value(1).toString(), q.value(2).toInt(),
                          q.value(3).toString(), q.value(4).toString(), q.value(5).toInt(),
                          q.value(6).toInt(), q.value(8).toString()};
    return rows;
}

QList<PresetRow> presetsOf(int formatId)
{
    QList<PresetRow> out;
    for (const PresetRow &p : presetRows())
        if (p.format == formatId)
            out << p;
    return out;
}

QString formatCaption(int formatId)
{
    for (const FormatRow &f : formatRows())
        if (f.id == formatId)
            return f.caption;
    return {};
}

} // namespace Shipped
