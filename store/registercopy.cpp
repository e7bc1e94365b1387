#include "registercopy.h"

#include "enginerefusal.h"
#include "registercreation.h"
#include "registerstore.h"
#include "schema.h"
#include "serverschema.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

QString columnNames(const TableDef& table) {
    QStringList names;
    for (const ColumnDef& column : table.columns)
        names << column.name;
    return names.join(u", "_s);
}

QString insertStatement(const TableDef& table) {
    return u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table.name, columnNames(table),
                                                    QStringList(table.columns.size(), u"?"_s).join(u", "_s));
}

// A value of the file as the server takes it exactly. A percentage SQLite keeps as a real
// goes as the shortest text that gives the same real back, which the server's `numeric`
// keeps as written; the program reads both to the same four places.
QVariant forServer(const ColumnDef& column, const QVariant& stored) {
    if (column.kind == ColumnKind::Decimal && stored.typeId() == QMetaType::Double)
        return QString::number(stored.toDouble(), 'g', QLocale::FloatingPointShortest);
    return stored;
}

StoreError serverFailure(const QString& what, const QSqlError& error) {
    return StoreError(u"Не удалось %1 на сервере: %2"_s.arg(what, error.databaseText()));
}

void runOnServer(QSqlDatabase& server, const QString& sql, const QString& what) {
    QSqlQuery query(server);
    if (!query.exec(sql))
        throw serverFailure(what, query.lastError());
}

// Sets each id sequence so that the next row the server adds gets an id past the largest one.
void moveSequencesPastIds(QSqlDatabase& server) {
    for (const TableDef* table : schema::allTables()) {
        runOnServer(server,
                    u"SELECT setval(pg_get_serial_sequence('%1', 'id'), GREATEST(COALESCE(MAX(id), 1), 1), "
                    u"COALESCE(MAX(id) >= 1, false)) FROM %1"_s.arg(table->name.toLower()),
                    u"продвинуть счётчик ключей таблицы "_s + table->shownName());
    }
}

// Runs statements of the register file that return no rows; throws what SQLite says.
void runOnFile(sqlite3* handle, const char* sql, const QString& path) {
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw refusalError(RegisterTask::Save, refusalOf(handle), path);
}

void bindForFile(sqlite3_stmt* insert, int parameter, const QVariant& value) {
    if (value.isNull()) {
        sqlite3_bind_null(insert, parameter);
    } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
        sqlite3_bind_int64(insert, parameter, value.toLongLong());
    } else {
        // Texts come as their UTF-8 bytes (serverschema::selectList()) and go in as they are. A `numeric` comes as
        // its text: the column's NUMERIC affinity makes the number of it that SQLite would have stored, as for any
        // number written as text.
        const QByteArray utf8 =
            value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
        sqlite3_bind_text(insert, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
}

} // namespace

void copyRowsToServer(RegisterStore& file, QSqlDatabase& server) {
    sqlite3* handle = sqliteHandle(file.connection());
    for (const TableDef* table : schema::allTables()) {
        const SqliteStatement select(
            handle,
            u"SELECT %1 FROM %2 ORDER BY id"_s.arg(schema::selectList(*table, file.format()), table->name).toUtf8(),
            table->refusalSubject());
        QSqlQuery insert(server);
        if (!insert.prepare(insertStatement(*table)))
            throw serverFailure(u"записать "_s + table->refusalSubject(), insert.lastError());
        int step;
        while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
            for (int i = 0; i < table->columns.size(); ++i)
                insert.bindValue(i, forServer(table->column(i), storedValue(select.get(), i)));
            if (!insert.exec())
                throw serverFailure(u"записать строку id %1 в %2"_s.arg(sqlite3_column_int64(select.get(), 0))
                                        .arg(table->refusalSubject()),
                                    insert.lastError());
        }
        if (step != SQLITE_DONE)
            throw refusalError(RegisterTask::Read, refusalOf(handle), table->refusalSubject());
    }
    moveSequencesPastIds(server);
}

void copyRegisterToServer(RegisterStore& file, RegisterStore& server) {
    QSqlDatabase database = server.connection();
    if (!database.transaction())
        throw serverFailure(u"начать копирование"_s, database.lastError());
    try {
        // No other copy of the program adds rows between the check and the copy.
        runOnServer(database, u"LOCK TABLE tbMain, tbComm, tbFee IN EXCLUSIVE MODE"_s, u"занять таблицы реестра"_s);
        QSqlQuery rows(database);
        if (!rows.exec(u"SELECT (SELECT COUNT(*) FROM tbMain), (SELECT COUNT(*) FROM tbComm), "
                       u"(SELECT COUNT(*) FROM tbFee)"_s) ||
            !rows.next())
            throw serverFailure(u"прочитать таблицы реестра"_s, rows.lastError());
        QStringList filled;
        for (int i = 0; i < schema::allTables().size(); ++i) {
            if (rows.value(i).toLongLong() > 0)
                filled << u"%1: %2"_s.arg(schema::allTables()[i]->name).arg(rows.value(i).toLongLong());
        }
        if (!filled.isEmpty())
            throw StoreError(u"Таблицы реестра %1 уже содержат строки (%2): реестр не скопирован, на сервере ничего "
                             u"не изменено."_s.arg(server.place(), filled.join(u", "_s)));
        rows.finish();
        copyRowsToServer(file, database);
        if (!database.commit())
            throw serverFailure(u"сохранить скопированный реестр"_s, database.lastError());
    } catch (...) {
        database.rollback();
        throw;
    }
}

void copyRegisterFromServer(RegisterStore& server, const QString& path) {
    QSqlDatabase database = server.connection();
    // One state of the server's register, however long the copy takes.
    runOnServer(database, u"BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY"_s, u"начать чтение реестра"_s);
    const auto fill = [&](RegisterStore& target) {
        sqlite3* handle = sqliteHandle(target.connection());
        runOnFile(handle, "BEGIN IMMEDIATE", path);
        try {
            for (const TableDef* table : schema::allTables()) {
                QSqlQuery select(database);
                select.setForwardOnly(true);
                if (!select.exec(u"SELECT %1 FROM %2 ORDER BY id"_s.arg(
                        serverschema::selectList(*table, server.format()), table->name)))
                    throw serverFailure(u"прочитать "_s + table->refusalSubject(), select.lastError());
                const SqliteStatement insert(handle, insertStatement(*table).toUtf8(), table->refusalSubject());
                while (select.next()) {
                    for (int i = 0; i < table->columns.size(); ++i)
                        bindForFile(insert.get(), i + 1, select.value(i));
                    if (sqlite3_step(insert.get()) != SQLITE_DONE)
                        throw refusalError(RegisterTask::Save, refusalOf(handle), path);
                    sqlite3_reset(insert.get());
                }
                if (select.lastError().isValid())
                    throw serverFailure(u"прочитать "_s + table->refusalSubject(), select.lastError());
            }
            runOnFile(handle, "COMMIT", path);
        } catch (...) {
            sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    };
    try {
        createRegister(path, fill);
    } catch (...) {
        QSqlQuery(database).exec(u"ROLLBACK"_s);
        throw;
    }
    QSqlQuery(database).exec(u"ROLLBACK"_s); // nothing was written on the server
}

} // namespace tarvex
