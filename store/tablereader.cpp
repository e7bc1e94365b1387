#include "tablereader.h"

#include "enginerefusal.h"
#include "heldvalue.h"
#include "serverconnection.h"
#include "serverschema.h"
#include "sqlitehandle.h"
#include "storedutf8.h"
#include "storeerror.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// A register file is read through SQLite's own interface (sqliteHandle), which keeps every
// character of a text and the storage class that tells a number from a text. The texts of
// text columns and the whole numbers their columns hold, nearly every value, go into the
// rows as they are; any other value takes the general rule of fromStorage().
HeldRows fileRows(const QSqlDatabase& database, const TableDef& table, int fileFormat, std::optional<qint64> id) {
    sqlite3* handle = sqliteHandle(database);
    const SqliteStatement select(
        handle,
        u"SELECT %1 FROM %2 %3 ORDER BY id"_s
            .arg(schema::selectList(table, fileFormat), table.name, id ? u"WHERE id = ?"_s : QString())
            .toUtf8(),
        table.refusalSubject());
    if (id)
        sqlite3_bind_int64(select.get(), 1, *id);
    HeldRows rows(table);
    if (!id) {
        // The rows are held column by column: each column's array is made to their number at once, not grown.
        const SqliteStatement count(handle, "SELECT COUNT(*) FROM " + table.name.toUtf8(), table.refusalSubject());
        if (sqlite3_step(count.get()) == SQLITE_ROW)
            rows.reserve(sqlite3_column_int(count.get(), 0));
    }
    const int columnCount = int(table.columns.size());
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        rows.appendNullRow();
        const int row = rows.size() - 1;
        for (int c = 0; c < columnCount; ++c) {
            const ColumnDef& column = table.columns[c];
            const int type = sqlite3_column_type(select.get(), c);
            if (type == SQLITE_NULL)
                continue;
            if (type == SQLITE_TEXT && (column.kind == ColumnKind::Text || column.kind == ColumnKind::Memo)) {
                rows.setText(row, c, compactStoredText(select.get(), c));
                continue;
            }
            if (type == SQLITE_INTEGER) {
                const qint64 number = sqlite3_column_int64(select.get(), c);
                if (holdsWhole(column, number) || column.kind == ColumnKind::Boolean) {
                    rows.setWhole(row, c, number);
                    continue;
                }
            }
            rows.setValue(row, c, fromStorage(column, storedValue(select.get(), c)));
        }
    }
    if (step != SQLITE_DONE)
        throw refusalError(RegisterTask::Read, refusalOf(handle), table.refusalSubject());
    return rows;
}

// A value of the server in the form SQLite gives it (storedValue()): NULL an invalid QVariant,
// and a text, which comes as its UTF-8 bytes, a QString that is empty, not null, when empty.
QVariant serverValue(const QVariant& stored) {
    if (stored.isNull())
        return {};
    if (stored.typeId() != QMetaType::QByteArray)
        return stored;
    const QString text = storedUtf8(*static_cast<const QByteArray*>(stored.constData()));
    return text.isNull() ? QString(u""_s) : text;
}

// A register on the server: its texts come as their UTF-8 bytes (serverschema::selectList())
// and are decoded as a file's are; numbers come exact.
HeldRows serverRows(QSqlDatabase database, const TableDef& table, int registerFormat, std::optional<qint64> id,
                    RowLock lock) {
    reconnectIfLost(database, RegisterTask::Read, table.refusalSubject());
    QSqlQuery select(database);
    select.setForwardOnly(true);
    const auto fail = [&] {
        throw refusalError(RegisterTask::Read, refusalOf(select.lastError(), database), table.refusalSubject());
    };
    const QString sql = u"SELECT %1 FROM %2 %3 ORDER BY id%4"_s.arg(
        serverschema::selectList(table, registerFormat), table.name, id ? u"WHERE id = ?"_s : QString(),
        lock == RowLock::ForUpdate ? u" FOR UPDATE"_s : QString());
    if (!select.prepare(sql))
        fail();
    if (id)
        select.addBindValue(*id);
    if (!select.exec())
        fail();
    HeldRows rows(table);
    const int columnCount = int(table.columns.size());
    while (select.next()) {
        rows.appendNullRow();
        for (int c = 0; c < columnCount; ++c)
            rows.setValue(rows.size() - 1, c, fromStorage(table.columns[c], serverValue(select.value(c))));
    }
    if (select.lastError().isValid()) // rows cut short by a lost connection
        fail();
    return rows;
}

HeldRows rowsOf(const QSqlDatabase& database, const TableDef& table, int fileFormat, std::optional<qint64> id,
                RowLock lock) {
    return isServerConnection(database) ? serverRows(database, table, fileFormat, id, lock)
                                        : fileRows(database, table, fileFormat, id);
}

} // namespace

HeldRows readTableRows(const QSqlDatabase& database, const TableDef& table, int fileFormat) {
    return rowsOf(database, table, fileFormat, std::nullopt, RowLock::None);
}

std::optional<QVariantList> readTableRow(const QSqlDatabase& database, const TableDef& table, int fileFormat, qint64 id,
                                         RowLock lock) {
    const HeldRows rows = rowsOf(database, table, fileFormat, id, lock);
    return rows.empty() ? std::nullopt : std::optional<QVariantList>(rows.row(0));
}

} // namespace tarvex
