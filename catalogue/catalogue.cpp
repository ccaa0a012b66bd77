#include "catalogue/catalogue.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace Catalogue {

namespace {

// Rows contribute their first `columns` values by position; NULL becomes "".
QStringList rows(QSqlQuery &query, int columns)
{
    QStringList list;
    while (query.next()) {
        for (int i = 0; i < columns; ++i)
            list << query.value(i).toString();
    }
    return list;
}

QStringList rows(const QString &statement, int columns)
{
    QSqlQuery query;
    if (!query.exec(statement))
        return {};
    return rows(query, columns);
}

} // namespace

bool open(const QString &path, Access access)
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
    db.setDatabaseName(path);
    if (access == Access::ReadOnly)
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
    return db.open();
}

QString problem(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return "it is not a file";
    const QString connection = "catalogue-check";
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        const bool opened = db.open();
        QSqlQuery tables(db);
        if (!opened || !tables.exec("SELECT name FROM sqlite_master WHERE type='table'")) {
            why = "it is not a database";
        } else {
            QStringList present;
            while (tables.next())
                present << tables.value(0).toString();
            // The statements the program runs, so that a table without the
            // columns they need counts as damaged too.
            const QList<QPair<QString, QString>> needed{
                {"tbl_AddCategories", "SELECT * FROM tbl_AddCategories"},
                {"tbl_FormatCategories",
                 "SELECT * FROM tbl_FormatCategories WHERE device!=1 ORDER BY count DESC, default_pos ASC"},
                {"tbl_OutputCategories",
                 "SELECT * FROM tbl_OutputCategories WHERE format=1 ORDER BY count DESC, default_pos ASC"}};
            for (const auto &[table, statement] : needed) {
                QSqlQuery query(db);
                if (!present.contains(table))
                    why = "the table " + table + " is missing";
                else if (!query.prepare(statement))
                    why = "the table " + table + " can't be read (" + query.lastError().databaseText() + ")";
                if (!why.isEmpty())
                    break;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return why;
}

void close()
{
    {
        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
}

QStringList addModel()
{
    return rows("SELECT * FROM tbl_AddCategories", addColumns);
}

QStringList deviceModel()
{
    return rows("SELECT * FROM tbl_FormatCategories WHERE device=1 ORDER BY count DESC, default_pos ASC",
                formatColumns);
}

QStringList formatModel()
{
    return rows("SELECT * FROM tbl_FormatCategories WHERE device!=1 ORDER BY count DESC, default_pos ASC",
                formatColumns);
}

QStringList outputModel(const QString &formatId)
{
    QSqlQuery query;
    if (!query.prepare("SELECT * FROM tbl_OutputCategories WHERE format=? "
                       "ORDER BY count DESC, default_pos ASC"))
        return {};
    bool numeric = false;
    const qlonglong id = formatId.toLongLong(&numeric);
    query.addBindValue(numeric ? QVariant(id) : QVariant(formatId));
    if (!query.exec())
        return {};
    return rows(query, outputColumns);
}

void incrementCount(int formatId, int outputId)
{
    QSqlQuery format;
    format.prepare("UPDATE tbl_FormatCategories SET count=(count+1) WHERE id=?");
    format.addBindValue(formatId);
    format.exec();
    QSqlQuery output;
    output.prepare("UPDATE tbl_OutputCategories SET count=(count+1) WHERE id=?");
    output.addBindValue(outputId);
    output.exec();
}

} // namespace Catalogue
