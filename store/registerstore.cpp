#include "registerstore.h"

#include "common/pathstatus.h"
#include "enginerefusal.h"
#include "registerformat.h"
#include "registerintegrity.h"
#include "registerwriteaccess.h"
#include "serverconnection.h"
#include "serverschema.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Why the first read of the register failed, in the user's words.
QString readFailure(const QString& path, const QSqlError& error, const QSqlDatabase& database) {
    const EngineRefusal refusal = refusalOf(error, database);
    switch (refusal.resultCode & 0xff) {
    case SQLITE_READONLY: // the file may not be written
    case SQLITE_IOERR:    // the journal may not be deleted once the file is restored
        // A journal left by a write that was cut off must be rolled back before anyone may read the file.
        if (QFileInfo::exists(path + u"-journal"_s)) {
            return u"В базе данных %1 осталась прерванная запись (журнал %2-journal), и её нельзя откатить: нужны "
                   u"права на запись в файл базы данных и в его каталог (SQLite: %3)"_s.arg(
                       path, QFileInfo(path).fileName(), refusal.engineText);
        }
        break;
    case SQLITE_NOTADB:
        return u"Файл %1 не является базой данных Tarvex (SQLite: %2)"_s.arg(path, refusal.engineText);
    }
    return refusalError(RegisterTask::Open, refusal, path).message();
}

QString uniqueConnectionName() {
    return u"tarvex-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

class Transaction {
public:
    explicit Transaction(QSqlDatabase& database)
        : m_database(database) {
        if (!m_database.transaction())
            throw StoreError(u"Не удалось начать изменение базы данных: "_s + m_database.lastError().text(),
                             refusalOf(m_database.lastError(), m_database));
    }
    ~Transaction() {
        if (!m_committed)
            m_database.rollback();
    }
    void commit() {
        if (!m_database.commit())
            throw StoreError(u"Не удалось сохранить изменения базы данных: "_s + m_database.lastError().text(),
                             refusalOf(m_database.lastError(), m_database));
        m_committed = true;
    }

private:
    QSqlDatabase& m_database;
    bool m_committed = false;
};

void execute(const QSqlDatabase& database, QSqlQuery& query, const QString& statement, const QVariantList& values) {
    if (!query.prepare(statement))
        throw StoreError(query.lastError().text(), refusalOf(query.lastError(), database));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw StoreError(query.lastError().text(), refusalOf(query.lastError(), database));
}

} // namespace

RegisterStore::RegisterStore(QObject* parent)
    : QObject(parent)
    , m_connectionName(uniqueConnectionName())
    , m_airlines(schema::tbMain())
    , m_conditions(schema::tbComm())
    , m_fees(schema::tbFee()) {}

RegisterStore::~RegisterStore() {
    m_conditionQuery.close();
    m_airlines.close();
    m_conditions.close();
    m_fees.close();
    closeConnection();
}

void RegisterStore::closeConnection() {
    if (m_connection.isValid()) {
        m_connection.close();
        m_connection = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

void RegisterStore::setBusyTimeout(std::chrono::milliseconds timeout) {
    m_busyTimeout = timeout;
    applyBusyTimeout(timeout);
}

void RegisterStore::applyBusyTimeout(std::chrono::milliseconds timeout) {
    if (!isOpen())
        return;
    if (m_engine == RegisterEngine::Sqlite) {
        sqlite3_busy_timeout(sqliteHandle(m_connection), int(timeout.count()));
        return;
    }
    // A server makes a save wait only for another copy saving the same row; its 0 would mean
    // waiting for ever, and no wait at all is the least it takes.
    QSqlQuery(m_connection).exec(u"SET lock_timeout = %1"_s.arg(std::max<qint64>(1, timeout.count())));
}

// A server's reads never wait for a lock, so only a register file has a wait to switch off; on a
// server it would cost two statements a keystroke.
RegisterStore::NoBusyWait::NoBusyWait(RegisterStore& store)
    : m_store(store) {
    if (m_store.m_engine == RegisterEngine::Sqlite)
        m_store.applyBusyTimeout(std::chrono::milliseconds(0));
}

RegisterStore::NoBusyWait::~NoBusyWait() {
    if (m_store.m_engine == RegisterEngine::Sqlite)
        m_store.applyBusyTimeout(m_store.m_busyTimeout);
}

void RegisterStore::waitUntilFreeForWriting() {
    // A server locks the rows a save writes, not the register: a save waits only for another
    // save of the same row.
    if (m_engine == RegisterEngine::Postgres) {
        reconnectIfLost(m_connection, RegisterTask::Begin);
        return;
    }
    // An immediate transaction takes the write lock at once, waiting as any write would; it
    // writes nothing, so letting go of it changes nothing.
    QSqlQuery query(m_connection);
    if (!query.exec(u"BEGIN IMMEDIATE"_s))
        throw refusalError(RegisterTask::Begin, refusalOf(query.lastError(), m_connection));
    if (!query.exec(u"ROLLBACK"_s))
        throw refusalError(RegisterTask::Begin, refusalOf(query.lastError(), m_connection));
}

QString RegisterStore::databasePath(const QString& appDir) {
    return QDir::cleanPath(appDir + u"DB/Tarvex.mdb"_s);
}

void RegisterStore::open(const QString& appDir, Use use) {
    openFile(databasePath(appDir), use);
}

void RegisterStore::openFile(const QString& path, Use use) {
    m_open = false;
    const PathStatus status = pathStatus(path);
    switch (status.kind) {
    case PathStatus::Kind::Missing:
        throw StoreError(u"Файл базы данных не найден: %1"_s.arg(path));
    case PathStatus::Kind::Folder:
        throw StoreError(u"Вместо файла базы данных найден каталог: %1"_s.arg(path));
    case PathStatus::Kind::OtherKind: // opening a pipe would wait for a writer forever
        throw StoreError(
            u"Вместо файла базы данных найден не обычный файл (канал, устройство или сокет): %1"_s.arg(path));
    case PathStatus::Kind::Unreachable:
        throw StoreError(u"Нет доступа к файлу базы данных %1: %2"_s.arg(path, status.reason()));
    case PathStatus::Kind::File:
        break;
    }

    if (m_engine != RegisterEngine::Sqlite)
        closeConnection();
    m_engine = RegisterEngine::Sqlite;
    m_place = path;
    if (m_connection.isValid())
        m_connection.close();
    else
        m_connection = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    m_readOnlyReason.clear();
    const QString readOnlyReason = registerWriteRefusal(path).value_or(QString());
    // mode=rw opens an existing file for reading and writing and never creates one; mode=ro
    // makes SQLite itself refuse every write.
    m_connection.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                                 (readOnlyReason.isEmpty() ? u"?mode=rw"_s : u"?mode=ro"_s));
    // Another program writing at the same moment makes this one wait, not fail.
    m_connection.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1"_s.arg(m_busyTimeout.count()));
    if (!m_connection.open())
        throw refusalError(RegisterTask::Open, refusalOf(m_connection.lastError(), m_connection), path);

    m_format = bringToCurrentFormat(sqliteHandle(m_connection), path, readFormat(path));
    // A walk reads the conditions in the airlines' order, all over the file: pages that
    // fall out of SQLite's default 2 MB cache are read again and again. A register of
    // 10,000 airlines fits in 16 MB, which is only taken as the file needs it.
    QSqlQuery(m_connection).exec(u"PRAGMA cache_size = -16384"_s);
    checkSchema(path, [this](const QString& table) {
        QSqlQuery query(m_connection);
        if (!query.exec(u"PRAGMA table_info(%1)"_s.arg(table)))
            throw StoreError(readFailure(m_place, query.lastError(), m_connection),
                             refusalOf(query.lastError(), m_connection));
        QStringList present;
        while (query.next())
            present << query.value(1).toString();
        return present;
    });
    m_readOnlyReason = readOnlyReason;
    openCursors(use);
}

void RegisterStore::openCursors(Use use) {
    m_conditionQuery.setDatabase(m_connection, m_format);
    if (use == Use::ForOutputs) {
        m_airlines.close();
        m_conditions.close();
        m_fees.close();
        m_open = true;
        return;
    }
    try {
        m_airlines.open(m_connection, m_format);
        m_conditions.open(m_connection, m_format);
        m_fees.open(m_connection, m_format);
    } catch (const StoreError& error) {
        if (error.refusal())
            throw retold(error, RegisterTask::Open, m_place);
        throw StoreError(u"База данных %1: %2"_s.arg(m_place, error.message()));
    }
    m_airlines.setSort(u"AirCode ASC");
    m_open = true;
}

// The first read of the file: what makes it unreadable is said here.
int RegisterStore::readFormat(const QString& path) {
    QSqlQuery query(m_connection);
    if (!query.exec(u"PRAGMA user_version"_s) || !query.next())
        throw StoreError(readFailure(path, query.lastError(), m_connection),
                         refusalOf(query.lastError(), m_connection));
    return query.value(0).toInt();
}

void RegisterStore::checkSchema(const QString& place,
                                const std::function<QStringList(const QString& table)>& columnsOf) {
    for (const TableDef* table : schema::allTables()) {
        const QStringList present = columnsOf(table->name);
        if (present.isEmpty())
            throw StoreError(u"В базе данных %1 нет таблицы %2"_s.arg(place, table->shownName()));
        for (const ColumnDef& column : table->columns) {
            // A file that could not be brought to the current format lacks the later columns.
            if (column.sinceFormat <= m_format && !present.contains(column.name, Qt::CaseInsensitive))
                throw StoreError(
                    u"В таблице %1 базы данных %2 нет поля %3"_s.arg(table->shownName(), place, fieldName(column)));
        }
    }
}

void RegisterStore::openServer(const ServerAddress& address, const QString& password, Use use) {
    m_open = false;
    m_conditionQuery.close();
    m_airlines.close();
    m_conditions.close();
    m_fees.close();
    closeConnection();
    m_engine = RegisterEngine::Postgres;
    m_readOnlyReason.clear();
    m_connection = openServerConnection(address, password, m_connectionName);
    m_place = serverRegisterPlace(m_connection, address);
    m_format = serverschema::registerFormat(m_connection, m_place);
    checkSchema(m_place, [this](const QString& table) { return serverschema::columnsOf(m_connection, table); });
    // Only the windows offer changes, and say beforehand when the role may not make them; the
    // server itself refuses a change a command would make.
    if (use == Use::ForWindows)
        m_readOnlyReason = serverRegisterWriteRefusal(m_connection, m_place).value_or(QString());
    openCursors(use);
    applyBusyTimeout(m_busyTimeout);
}

void RegisterStore::requireIntact() const {
    if (m_engine == RegisterEngine::Sqlite)
        requireIntactRegister(m_connection);
}

qint64 RegisterStore::addAirline(const AirlineRecord& airline) {
    m_airlines.insert();
    m_airlines.setValue(u"AirCode", airline.airCode);
    m_airlines.setValue(u"AirName", airline.airName);
    m_airlines.setValue(u"AccCode", airline.accCode);
    m_airlines.setValue(u"Comment", airline.comment);
    m_airlines.setValue(u"BSP", airline.bsp);
    m_airlines.setValue(u"Script", airline.script);
    m_airlines.post();
    return heldInteger(m_airlines.value(0));
}

void RegisterStore::addCondition(qint64 airlineId, const ConditionRecord& condition) {
    m_conditions.insert();
    m_conditions.setValue(u"ComId", airlineId);
    m_conditions.setValue(u"ComCondition", condition.comCondition);
    if (condition.comPct)
        m_conditions.setValue(u"ComPCT", QVariant::fromValue(*condition.comPct));
    if (condition.comSum)
        m_conditions.setValue(u"ComSum", *condition.comSum);
    m_conditions.setValue(u"ComVal", condition.comVal);
    m_conditions.setValue(u"Remarks", condition.remarks);
    if (condition.valLen)
        m_conditions.setValue(u"ValLen", *condition.valLen);
    m_conditions.setValue(u"Fee", condition.fee);
    if (!condition.validFrom.isNull())
        m_conditions.setValue(u"ComFrom", condition.validFrom);
    if (!condition.validTill.isNull())
        m_conditions.setValue(u"ComTill", condition.validTill);
    m_conditions.post();
}

void RegisterStore::resetAirlineView() {
    if (!m_airlines.isOpen())
        return; // opened for outputs only: no window shows the airlines
    m_airlines.setSort(u"[AirCode] ASC");
    m_airlines.setFiltered(false);
}

void RegisterStore::deleteCurrentAirline() {
    if (m_airlines.state() != TableCursor::State::Browse || m_airlines.currentRow() < 0)
        throw StoreError(u"Нет авиакомпании для удаления"_s);
    const qint64 airlineId = m_airlines.value(0).toLongLong();
    try {
        reconnectIfLost(m_connection, RegisterTask::Delete);
        Transaction transaction(m_connection);
        QSqlQuery query(m_connection);
        execute(m_connection, query, u"DELETE FROM tbComm WHERE ComId = ?"_s, {airlineId});
        execute(m_connection, query, u"DELETE FROM tbFee WHERE FeeId = ?"_s, {airlineId});
        execute(m_connection, query, u"DELETE FROM tbMain WHERE id = ?"_s, {airlineId});
        transaction.commit();
    } catch (const StoreError& error) {
        throw retold(error, RegisterTask::Delete);
    }
    m_conditions.forgetRows(u"ComId", airlineId);
    m_fees.forgetRows(u"FeeId", airlineId);
    m_airlines.forgetRows(u"id", airlineId);
}

} // namespace tarvex
