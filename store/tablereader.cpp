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
// character of a text and the storage class that tells a number from a text.
std::vector<QVariantList> fileRows(const QSqlDatabase& database, const TableDef& table, int fileFormat,
                                   std::optional<qint64> id) {
    sqlite3* handle = sqliteHandle(database);
    const SqliteStatement select(
        handle,
        u"SELECT %1 FROM %2 %3 ORDER BY id"_s
            .arg(schema::selectList(table, fileFormat), table.name, id ? u"WHERE id = ?"_s : QString())
            .toUtf8(),
        table.refusalSubject());
    if (id)
        sqlite3_bind_int64(select.get(), 1, *id);
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
std::vector<QVariantList> serverRows(QSqlDatabase database, const TableDef& table, int registerFormat,
                                     std::optional<qint64> id, RowLock lock) {
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
    std::vector<QVariantList> rows;
    const int columnCount = int(table.columns.size());
    while (select.next()) {
        QVariantList row;
        row.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c) {
            row << fromStorage(table.columns[c], serverValue(select.value(c)));
        }
        rows.push_back(std::move(row));
    }
    if (select.lastError().isValid()) // rows cut short by a lost connection
        fail();
    return rows;
}

std::vector<QVariantList> rowsOf(const QSqlDatabase& database, const TableDef& table, int fileFormat,
                                 std::optional<qint64> id, RowLock lock) {
    return isServerConnection(database) ? serverRows(database, table, fileFormat, id, lock)
                                        : fileRows(database, table, fileFormat, id);
}

} // namespace

std::vector<QVariantList> readTableRows(const QSqlDatabase& database, const TableDef& table, int fileFormat) {
    return rowsOf(database, table, fileFormat, std::nullopt, RowLock::None);
}

std::optional<QVariantList> readTableRow(const QSqlDatabase& database, const TableDef& table, int fileFormat, qint64 id,
                                         RowLock lock) {
    std::vector<QVariantList> rows = rowsOf(database, table, fileFormat, id, lock);
    return rows.empty() ? std::nullopt : std::optional<QVariantList>(std::move(rows.front()));
}

} // namespace tarvex
