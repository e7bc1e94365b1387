#include "enginerefusal.h"

#include "sqlitehandle.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

QString causeText(RefusalCause cause, RegisterEngine engine) {
    const bool server = engine == RegisterEngine::Postgres;
    switch (cause) {
    case RefusalCause::Busy:
        return server ? u"Запись реестра сейчас изменяет другая копия программы"_s
                      : u"Реестр занят другой программой, которая сейчас в него записывает"_s;
    case RefusalCause::ReadOnly:
        return server ? u"Реестр открыт только для чтения: вашей роли на сервере PostgreSQL не дано право изменять его "
                        u"таблицы"_s
                      : u"Реестр открыт только для чтения: нет права записи в его файл или в папку, где он лежит"_s;
    case RefusalCause::NoAccess:
        return server ? u"Вашей роли на сервере PostgreSQL не дано право читать реестр"_s
                      : u"Нет доступа к файлу реестра"_s;
    case RefusalCause::DiskFull:
        return server ? u"На сервере PostgreSQL не хватает места или памяти для реестра"_s
                      : u"На диске не хватает места для реестра"_s;
    case RefusalCause::Damaged:
        return server ? u"Данные реестра на сервере PostgreSQL повреждены"_s : u"Файл реестра повреждён"_s;
    case RefusalCause::DiskError:
        return server ? u"Ошибка чтения или записи на диске сервера PostgreSQL"_s
                      : u"Ошибка чтения или записи файла реестра на диске"_s;
    case RefusalCause::Disconnected:
        return u"Связь с сервером PostgreSQL прервалась"_s;
    case RefusalCause::Other:
        break;
    }
    return server ? u"Сервер PostgreSQL сообщил об ошибке"_s : u"База данных реестра сообщила об ошибке"_s;
}

QString outcomeText(RegisterTask task, const QString& subject) {
    switch (task) {
    case RegisterTask::Open:
        return u"реестр %1 не открыт"_s.arg(subject);
    case RegisterTask::Read:
        return u"не удалось прочитать %1"_s.arg(subject);
    case RegisterTask::Begin:
        return u"изменение не начато"_s;
    case RegisterTask::Save:
        return u"изменения не сохранены"_s;
    case RegisterTask::Delete:
        break;
    }
    return u"ничего не удалено"_s;
}

// What the user can do; empty when nothing but support staff can help.
QString adviceText(RefusalCause cause, RegisterTask task, RegisterEngine engine) {
    const bool server = engine == RegisterEngine::Postgres;
    switch (cause) {
    case RefusalCause::Busy:
        return task == RegisterTask::Open ? u"запустите программу заново через минуту"_s : u"повторите через минуту"_s;
    case RefusalCause::ReadOnly:
    case RefusalCause::NoAccess:
        return server ? u"Права на таблицы реестра может дать администратор сервера."_s
                      : u"Права на файл и папку реестра может дать администратор компьютера."_s;
    case RefusalCause::DiskFull:
        return server ? u"Сообщите администратору сервера."_s : u"Освободите место на диске и повторите."_s;
    case RefusalCause::Damaged:
        return server ? u"Сообщите администратору сервера."_s
                      : u"Восстановите файл из резервной копии или командой .recover программы sqlite3."_s;
    case RefusalCause::DiskError:
        return server ? u"Сообщите администратору сервера."_s : u"Проверьте диск и повторите."_s;
    case RefusalCause::Disconnected:
        return u"Проверьте сеть и сервер: при следующей команде программа подключится заново."_s;
    case RefusalCause::Other:
        break;
    }
    return {};
}

// The cause of a SQLSTATE of the server; an empty one is the client's own failure, which on a
// connection that worked means it was lost.
RefusalCause serverRefusalCause(const QString& sqlState) {
    if (sqlState.isEmpty() || sqlState.startsWith(u"08") || sqlState.startsWith(u"57P"))
        return RefusalCause::Disconnected;
    if (sqlState == u"42501" || sqlState == u"25006") // no privilege; a read-only transaction
        return RefusalCause::ReadOnly;
    if (sqlState.startsWith(u"40") || sqlState == u"55P03") // serialization, deadlock, lock not available
        return RefusalCause::Busy;
    if (sqlState.startsWith(u"53"))
        return RefusalCause::DiskFull;
    if (sqlState.startsWith(u"XX00"))
        return RefusalCause::Damaged;
    if (sqlState.startsWith(u"58"))
        return RefusalCause::DiskError;
    return RefusalCause::Other;
}

} // namespace

RefusalCause refusalCause(int resultCode) {
    switch (resultCode & 0xff) { // the low byte of an extended code is its primary code
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return RefusalCause::Busy;
    case SQLITE_READONLY: // also a folder in which the journal may not be made
        return RefusalCause::ReadOnly;
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        return RefusalCause::NoAccess;
    case SQLITE_FULL:
        return RefusalCause::DiskFull;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return RefusalCause::Damaged;
    case SQLITE_IOERR:
        return RefusalCause::DiskError;
    default:
        return RefusalCause::Other;
    }
}

RefusalCause refusalCause(const EngineRefusal& refusal) {
    return refusal.engine == RegisterEngine::Postgres ? serverRefusalCause(refusal.sqlState)
                                                      : refusalCause(refusal.resultCode);
}

EngineRefusal refusalOf(const QSqlError& error, const QSqlDatabase& database) {
    EngineRefusal refusal;
    refusal.engineText = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    if (database.driverName() == u"QPSQL") {
        refusal.engine = RegisterEngine::Postgres;
        refusal.sqlState = error.nativeErrorCode();
        return refusal;
    }
    bool known = false;
    refusal.resultCode = error.nativeErrorCode().toInt(&known);
    if (!known && database.isOpen()) {
        try {
            refusal.resultCode = sqlite3_extended_errcode(sqliteHandle(database));
        } catch (const StoreError&) { // another SQLite library: the code stays unknown
        }
    }
    return refusal;
}

EngineRefusal refusalOf(sqlite3* handle) {
    EngineRefusal refusal;
    refusal.resultCode = sqlite3_extended_errcode(handle);
    refusal.engineText = QString::fromUtf8(sqlite3_errmsg(handle));
    return refusal;
}

StoreError refusalError(RegisterTask task, const EngineRefusal& refusal, const QString& subject) {
    const RefusalCause cause = refusalCause(refusal);
    QString message = causeText(cause, refusal.engine) + u"; "_s + outcomeText(task, subject);
    const QString advice = adviceText(cause, task, refusal.engine);
    if (cause == RefusalCause::Busy)
        message += u", "_s + advice + u'.';
    else
        message += advice.isEmpty() ? u"."_s : u". "_s + advice;
    if (!refusal.engineText.isEmpty())
        message += u" (%1: %2)"_s.arg(refusal.engine == RegisterEngine::Postgres ? u"PostgreSQL"_s : u"SQLite"_s,
                                      refusal.engineText);
    return StoreError(message, refusal);
}

StoreError retold(const StoreError& error, RegisterTask task, const QString& subject) {
    return error.refusal() ? refusalError(task, *error.refusal(), subject) : error;
}

} // namespace tarvex
