#include "enginerefusal.h"

#include "sqlitehandle.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

QString causeText(RefusalCause cause) {
    switch (cause) {
    case RefusalCause::Busy:
        return u"Реестр занят другой программой, которая сейчас в него записывает"_s;
    case RefusalCause::ReadOnly:
        return u"Реестр открыт только для чтения: нет права записи в его файл или в папку, где он лежит"_s;
    case RefusalCause::NoAccess:
        return u"Нет доступа к файлу реестра"_s;
    case RefusalCause::DiskFull:
        return u"На диске не хватает места для реестра"_s;
    case RefusalCause::Damaged:
        return u"Файл реестра повреждён"_s;
    case RefusalCause::DiskError:
        return u"Ошибка чтения или записи файла реестра на диске"_s;
    case RefusalCause::Other:
        break;
    }
    return u"База данных реестра сообщила об ошибке"_s;
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
QString adviceText(RefusalCause cause, RegisterTask task) {
    switch (cause) {
    case RefusalCause::Busy:
        return task == RegisterTask::Open ? u"запустите программу заново через минуту"_s : u"повторите через минуту"_s;
    case RefusalCause::ReadOnly:
    case RefusalCause::NoAccess:
        return u"Права на файл и папку реестра может дать администратор компьютера."_s;
    case RefusalCause::DiskFull:
        return u"Освободите место на диске и повторите."_s;
    case RefusalCause::Damaged:
        return u"Восстановите файл из резервной копии или командой .recover программы sqlite3."_s;
    case RefusalCause::DiskError:
        return u"Проверьте диск и повторите."_s;
    case RefusalCause::Other:
        break;
    }
    return {};
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

EngineRefusal refusalOf(const QSqlError& error, const QSqlDatabase& database) {
    EngineRefusal refusal;
    bool known = false;
    refusal.resultCode = error.nativeErrorCode().toInt(&known);
    if (!known && database.isOpen()) {
        try {
            refusal.resultCode = sqlite3_extended_errcode(sqliteHandle(database));
        } catch (const StoreError&) { // another SQLite library: the code stays unknown
        }
    }
    refusal.engineText = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return refusal;
}

EngineRefusal refusalOf(sqlite3* handle) {
    return {sqlite3_extended_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle))};
}

StoreError refusalError(RegisterTask task, const EngineRefusal& refusal, const QString& subject) {
    const RefusalCause cause = refusalCause(refusal.resultCode);
    QString message = causeText(cause) + u"; "_s + outcomeText(task, subject);
    const QString advice = adviceText(cause, task);
    if (cause == RefusalCause::Busy)
        message += u", "_s + advice + u'.';
    else
        message += advice.isEmpty() ? u"."_s : u". "_s + advice;
    if (!refusal.engineText.isEmpty())
        message += u" (SQLite: %1)"_s.arg(refusal.engineText);
    return StoreError(message, refusal);
}

StoreError retold(const StoreError& error, RegisterTask task, const QString& subject) {
    return error.refusal() ? refusalError(task, *error.refusal(), subject) : error;
}

} // namespace tarvex
