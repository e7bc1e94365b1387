#include "datamodule.h"

#include "storeerror.h"

#include <QFile>

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Another copy of the program writing at the same moment makes this one wait, not fail.
constexpr auto kBusyTimeoutOption = "QSQLITE_BUSY_TIMEOUT=10000";

QString uniqueConnectionName() {
    return u"tarvex-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

class Transaction {
public:
    explicit Transaction(QSqlDatabase& database)
        : m_database(database) {
        if (!m_database.transaction())
            throw StoreError(u"Не удалось начать изменение базы данных: "_s + m_database.lastError().text());
    }
    ~Transaction() {
        if (!m_committed)
            m_database.rollback();
    }
    void commit() {
        if (!m_database.commit())
            throw StoreError(u"Не удалось сохранить изменения базы данных: "_s + m_database.lastError().text());
        m_committed = true;
    }

private:
    QSqlDatabase& m_database;
    bool m_committed = false;
};

void execute(QSqlQuery& query, const QString& statement, const QVariantList& values = {}) {
    if (!query.prepare(statement))
        throw StoreError(query.lastError().text());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw StoreError(query.lastError().text());
}

} // namespace

ReadSnapshot::ReadSnapshot(QSqlDatabase database)
    : m_database(std::move(database))
    , m_open(m_database.transaction()) {}

ReadSnapshot::~ReadSnapshot() {
    if (m_open)
        m_database.rollback(); // nothing was written: just let go of the lock
}

TDataModule1::TDataModule1(QObject* parent)
    : QObject(parent)
    , tbMain(schema::tbMain())
    , tbComm(schema::tbComm())
    , tbFee(schema::tbFee())
    , m_connectionName(uniqueConnectionName()) {}

TDataModule1::~TDataModule1() {
    SQLQuery.close();
    tbMain.close();
    tbComm.close();
    tbFee.close();
    if (MainConnection.isValid()) {
        MainConnection.close();
        MainConnection = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

QString TDataModule1::databasePath(const QString& appDir) {
    return QDir::cleanPath(appDir + u"DB/Tarvex.mdb"_s);
}

void TDataModule1::open(const QString& appDir) {
    const QString path = databasePath(appDir);
    const QFileInfo info(path);
    if (!info.exists())
        throw StoreError(u"Файл базы данных не найден: %1"_s.arg(path));
    if (!info.isFile())
        throw StoreError(u"Вместо файла базы данных найден каталог: %1"_s.arg(path));

    if (MainConnection.isValid())
        MainConnection.close();
    else
        MainConnection = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    // mode=rw opens an existing file for reading and writing and never creates one.
    MainConnection.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + u"?mode=rw"_s);
    MainConnection.setConnectOptions(u"QSQLITE_OPEN_URI;"_s + QLatin1StringView(kBusyTimeoutOption));
    if (!MainConnection.open())
        throw StoreError(u"Не удалось открыть базу данных %1: %2"_s.arg(path, MainConnection.lastError().text()));

    checkSchema(path);
    try {
        tbMain.open(MainConnection);
        tbComm.open(MainConnection);
        tbFee.open(MainConnection);
    } catch (const StoreError& error) {
        throw StoreError(u"База данных %1: %2"_s.arg(path, error.message()));
    }
    tbMain.setSort(u"AirCode ASC");
    SQLQuery.setDatabase(MainConnection);
}

void TDataModule1::checkSchema(const QString& path) {
    QSqlQuery query(MainConnection);
    for (const TableDef* table : schema::allTables()) {
        if (!query.exec(u"PRAGMA table_info(%1)"_s.arg(table->name))) {
            throw StoreError(u"Файл %1 не является базой данных Tarvex: %2"_s.arg(path, query.lastError().text()));
        }
        QStringList present;
        while (query.next())
            present << query.value(1).toString();
        if (present.isEmpty())
            throw StoreError(u"В базе данных %1 нет таблицы %2"_s.arg(path, table->name));
        for (const ColumnDef& column : table->columns) {
            if (!present.contains(column.name, Qt::CaseInsensitive))
                throw StoreError(u"В таблице %1 базы данных %2 нет поля %3"_s.arg(table->name, path, column.name));
        }
    }
}

void TDataModule1::createDatabase(const QString& path) {
    if (QFileInfo::exists(path))
        throw StoreError(u"Файл базы данных уже существует, он не будет перезаписан: %1"_s.arg(path));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw StoreError(u"Не удалось создать каталог для базы данных: %1"_s.arg(QFileInfo(path).absolutePath()));

    const QString connectionName = uniqueConnectionName();
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, connectionName);
        database.setDatabaseName(path);
        try {
            if (!database.open())
                throw StoreError(database.lastError().text());
            QSqlQuery query(database);
            // Qt opens the file through the UTF-16 interface, which would otherwise make
            // UTF-16 the file's text encoding; UTF-8 is what every other SQLite tool expects.
            execute(query, u"PRAGMA encoding = 'UTF-8'"_s);
            Transaction transaction(database);
            for (const QString& statement : schema::createStatements())
                execute(query, statement);
            transaction.commit();
        } catch (const StoreError& error) {
            database.close();
            QFile::remove(path);
            database = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw StoreError(u"Не удалось создать базу данных %1: %2"_s.arg(path, error.message()));
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

qint64 TDataModule1::addAirline(const AirlineRecord& airline) {
    tbMain.insert();
    tbMain.setValue(u"AirCode", airline.airCode);
    tbMain.setValue(u"AirName", airline.airName);
    tbMain.setValue(u"AccCode", airline.accCode);
    tbMain.setValue(u"Comment", airline.comment);
    tbMain.setValue(u"BSP", airline.bsp);
    tbMain.setValue(u"Script", airline.script);
    tbMain.post();
    return heldInteger(tbMain.value(0));
}

void TDataModule1::addCondition(qint64 airlineId, const ConditionRecord& condition) {
    tbComm.insert();
    tbComm.setValue(u"ComId", airlineId);
    tbComm.setValue(u"ComCondition", condition.comCondition);
    if (condition.comPct)
        tbComm.setValue(u"ComPCT", QVariant::fromValue(*condition.comPct));
    if (condition.comSum)
        tbComm.setValue(u"ComSum", *condition.comSum);
    tbComm.setValue(u"ComVal", condition.comVal);
    tbComm.setValue(u"Remarks", condition.remarks);
    if (condition.valLen)
        tbComm.setValue(u"ValLen", *condition.valLen);
    tbComm.setValue(u"Fee", condition.fee);
    tbComm.post();
}

void TDataModule1::resetAirlineView() {
    tbMain.setSort(u"[AirCode] ASC");
    tbMain.setFiltered(false);
}

void TDataModule1::deleteCurrentAirline() {
    if (tbMain.state() != TableCursor::State::Browse || tbMain.currentRow() < 0)
        throw StoreError(u"Нет авиакомпании для удаления"_s);
    const qint64 airlineId = tbMain.value(0).toLongLong();
    {
        Transaction transaction(MainConnection);
        QSqlQuery query(MainConnection);
        execute(query, u"DELETE FROM tbComm WHERE ComId = ?"_s, {airlineId});
        execute(query, u"DELETE FROM tbFee WHERE FeeId = ?"_s, {airlineId});
        execute(query, u"DELETE FROM tbMain WHERE id = ?"_s, {airlineId});
        transaction.commit();
    }
    tbComm.forgetRows(u"ComId", airlineId);
    tbFee.forgetRows(u"FeeId", airlineId);
    tbMain.forgetRows(u"id", airlineId);
}

} // namespace tarvex
