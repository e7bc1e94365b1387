#include "registerformat.h"

#include "enginerefusal.h"
#include "schema.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <QStringList>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Runs statements that return no rows; SQLite's result code.
int execute(sqlite3* handle, const QString& sql) {
    return sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
}

int userVersion(sqlite3* handle, const QString& path) {
    const QString subject = u"формат базы данных "_s + path;
    const SqliteStatement pragma(handle, "PRAGMA user_version", subject);
    if (sqlite3_step(pragma.get()) != SQLITE_ROW)
        throw refusalError(RegisterTask::Read, refusalOf(handle), subject);
    return sqlite3_column_int(pragma.get(), 0);
}

QStringList columnsOf(sqlite3* handle, const QString& table) {
    const SqliteStatement info(handle, u"PRAGMA table_info(%1)"_s.arg(table).toUtf8(), u"поля таблицы "_s + table);
    QStringList names;
    while (sqlite3_step(info.get()) == SQLITE_ROW)
        names << storedText(info.get(), 1);
    return names;
}

// The statements that take a file of the previous format to `format`.
QStringList stepStatements(sqlite3* handle, int format) {
    QStringList statements;
    for (const TableDef* table : schema::allTables()) {
        const QStringList present = columnsOf(handle, table->name);
        for (const ColumnDef& column : table->columns) {
            if (column.sinceFormat == format && !present.contains(column.name, Qt::CaseInsensitive))
                statements << u"ALTER TABLE %1 ADD COLUMN %2 %3"_s.arg(table->name, column.name, column.sqlType);
        }
    }
    return statements << u"PRAGMA user_version = %1"_s.arg(format);
}

// Whether SQLite refused a change because the file or its folder may not be written.
bool isWriteRefusal(int code) {
    switch (code & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN: // the journal cannot be made in the folder
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return true;
    default:
        return false;
    }
}

enum class StepResult { Done, NotWritable };

// Rolls back whatever is left open when a step ends early.
struct RollBackUnlessDone {
    sqlite3* handle;
    bool done = false;
    ~RollBackUnlessDone() {
        if (!done)
            execute(handle, u"ROLLBACK"_s);
    }
};

StepResult takeStep(sqlite3* handle, const QString& path, int format) {
    // IMMEDIATE takes the write lock at once, so two copies opening an old file step in turn.
    int code = execute(handle, u"BEGIN IMMEDIATE"_s);
    RollBackUnlessDone transaction{handle, code != SQLITE_OK};
    // Another copy may have taken this step while this one waited for the lock.
    if (code == SQLITE_OK && userVersion(handle, path) < format) {
        for (const QString& statement : stepStatements(handle, format)) {
            if ((code = execute(handle, statement)) != SQLITE_OK)
                break;
        }
    }
    if (code == SQLITE_OK && (code = execute(handle, u"COMMIT"_s)) == SQLITE_OK) {
        transaction.done = true;
        return StepResult::Done;
    }
    if (isWriteRefusal(code))
        return StepResult::NotWritable;
    throw refusalError(RegisterTask::Open, refusalOf(handle), path);
}

} // namespace

int bringToCurrentFormat(sqlite3* handle, const QString& path, int fileFormat) {
    int format = fileFormat;
    if (format > kRegisterFormat)
        throw StoreError(u"База данных %1 записана более новой версией Tarvex (формат %2, эта версия знает форматы "
                         u"до %3). Файл не изменён: откройте его той версией программы, которая его записала, или "
                         u"новее."_s.arg(path)
                             .arg(format)
                             .arg(kRegisterFormat));
    while (format < kRegisterFormat) {
        if (takeStep(handle, path, format + 1) == StepResult::NotWritable)
            return format;
        ++format;
    }
    return format;
}

} // namespace tarvex
