#include "tablereader.h"

#include "enginerefusal.h"
#include "heldvalue.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

// Rows are read through SQLite's own interface (sqliteHandle), which keeps every character
// of a text and the storage class that tells a number from a text.
namespace {

// Every row the statement gives, in held form.
std::vector<QVariantList> heldRows(sqlite3* handle, const TableDef& table, const SqliteStatement& select) {
    std::vector<QVariantList> rows;
    const int columnCount = int(table.columns.size());
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c)
            row << fromStorage(table.columns[c], storedValue(select.get(), c));
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE)
        throw refusalError(RegisterTask::Read, refusalOf(handle), table.refusalSubject());
    return rows;
}

} // namespace

std::vector<QVariantList> readTableRows(const QSqlDatabase& database, const TableDef& table, int fileFormat) {
    sqlite3* handle = sqliteHandle(database);
    const SqliteStatement select(
        handle, u"SELECT %1 FROM %2 ORDER BY id"_s.arg(schema::selectList(table, fileFormat), table.name).toUtf8(),
        table.refusalSubject());
    return heldRows(handle, table, select);
}

std::optional<QVariantList> readTableRow(const QSqlDatabase& database, const TableDef& table, int fileFormat,
                                         qint64 id) {
    sqlite3* handle = sqliteHandle(database);
    const SqliteStatement select(
        handle, u"SELECT %1 FROM %2 WHERE id = ?"_s.arg(schema::selectList(table, fileFormat), table.name).toUtf8(),
        table.refusalSubject());
    sqlite3_bind_int64(select.get(), 1, id);
    std::vector<QVariantList> rows = heldRows(handle, table, select);
    return rows.empty() ? std::nullopt : std::optional<QVariantList>(std::move(rows.front()));
}

} // namespace tarvex
