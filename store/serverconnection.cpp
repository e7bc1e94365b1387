#include "serverconnection.h"

#include "enginerefusal.h"
#include "libpq.h"
#include "schema.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <atomic>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kDriver = u"QPSQL"_s;

// The state of the register's tables as the connected role sees them.
ServerCheck checkTables(QSqlDatabase& database, const ServerAddress& address) {
    QStringList missing;
    QStringList forbidden;
    QString otherFailure;
    for (const TableDef* table : schema::allTables()) {
        // Unquoted, as the tables are created, so the server folds the names alike.
        QSqlQuery query(database);
        if (query.exec(u"SELECT * FROM %1 LIMIT 0"_s.arg(table->name)))
            continue;
        const QSqlError error = query.lastError();
        if (error.nativeErrorCode() == u"42P01"_s)
            missing << table->name;
        else if (error.nativeErrorCode() == u"42501"_s)
            forbidden << table->name;
        else if (otherFailure.isEmpty())
            otherFailure = u"%1: %2"_s.arg(table->name, error.databaseText());
    }
    const QString databaseName = database.databaseName().isEmpty() ? address.user : database.databaseName();
    if (missing.size() == schema::allTables().size())
        return {ServerOutcome::TablesMissing,
                u"База данных «%1» пуста: в ней нет таблиц реестра. Их создаёт команда «tarvex-cli init-db»."_s.arg(
                    databaseName)};
    if (!missing.isEmpty())
        return {ServerOutcome::TablesMissing,
                u"В базе данных «%1» нет таблиц реестра: %2. Реестр на сервере неполон."_s.arg(databaseName,
                                                                                               missing.join(u", "_s))};
    if (!forbidden.isEmpty())
        return {ServerOutcome::NoRights, u"У пользователя «%1» нет права читать таблицы реестра: %2."_s.arg(
                                             database.userName(), forbidden.join(u", "_s))};
    if (!otherFailure.isEmpty())
        return {ServerOutcome::Failed, u"Не удалось прочитать таблицы реестра. %1"_s.arg(otherFailure)};
    return {ServerOutcome::Connected,
            u"Подключение установлено (%1, база данных «%2», пользователь «%3»), таблицы реестра на месте."_s.arg(
                describeServer(address), databaseName, database.userName())};
}

} // namespace

QSqlDatabase openServerConnection(const ServerAddress& address, const QString& password,
                                  const QString& connectionName) {
    if (const auto problem = address.problem())
        throw ServerConnectionError({ServerOutcome::BadAddress, u"Настройки подключения неверны: %1."_s.arg(*problem)});
    QString driverText;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(kDriver, connectionName);
        if (database.isValid()) {
            database.setHostName(address.host);
            if (address.port > 0)
                database.setPort(address.port);
            database.setDatabaseName(address.name);
            database.setUserName(address.user);
            database.setPassword(password);
            QStringList options{u"connect_timeout=10"_s};
            if (!address.sslMode.isEmpty())
                options << u"sslmode="_s + address.sslMode;
            database.setConnectOptions(options.join(u';'));
            database.setNumericalPrecisionPolicy(QSql::HighPrecision);
            if (database.open())
                return database;
            driverText = database.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    if (driverText.isEmpty())
        throw ServerConnectionError({ServerOutcome::Failed, u"Драйвер PostgreSQL для Qt (QPSQL) не установлен: "
                                                            u"нужен пакет libqt6sql6-psql."_s});
    // The driver's message carries neither the SQLSTATE nor libpq's state: libpq itself tells the reason.
    ServerCheck reason = diagnoseServerLogin(address, password);
    if (reason.outcome == ServerOutcome::Connected)
        reason = {ServerOutcome::Failed,
                  u"Не удалось подключиться к серверу PostgreSQL (%1).\n%2"_s.arg(describeServer(address), driverText)};
    throw ServerConnectionError(reason);
}

bool isServerConnection(const QSqlDatabase& database) {
    return database.driverName() == kDriver;
}

pg_conn* libpqConnection(const QSqlDatabase& database) {
    const QVariant handle = database.driver()->handle();
    // Qt's driver hands its libpq connection under the name of the struct behind PGconn.
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0)
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

namespace {

// Whether libpq knows the connection to be cut. A server that closed it has said so on its
// socket: reading what waits there, which never blocks, lets libpq see it; a statement that
// failed on a cut connection may not have let it see it yet.
bool isCut(const QSqlDatabase& database) {
    PGconn* connection = libpqConnection(database);
    if (!connection)
        return false;
    libpq().consumeInput(connection);
    return libpq().status(connection) == CONNECTION_BAD;
}

} // namespace

void reconnectIfLost(QSqlDatabase& database, RegisterTask task, const QString& subject) {
    if (!isServerConnection(database))
        return;
    if (database.isOpen()) {
        if (!isCut(database))
            return;
        database.close();
    }
    // Closed, or left closed by a login that failed before: the driver keeps the address and
    // the password, and logs in the same way again.
    if (!database.open()) {
        EngineRefusal refusal = refusalOf(database.lastError(), database);
        refusal.sqlState.clear(); // a login that fails is a connection not made again
        throw refusalError(task, refusal, subject);
    }
}

QString serverRegisterPlace(const QSqlDatabase& connection, const ServerAddress& address) {
    // The server names the database libpq chose when the settings name none.
    QSqlQuery query(connection);
    const QString name =
        query.exec(u"SELECT current_database()"_s) && query.next() ? query.value(0).toString() : address.name;
    return u"«%1» на сервере PostgreSQL (%2)"_s.arg(name, describeServer(address));
}

ServerCheck checkServerConnection(const ServerAddress& address, const QString& password) {
    static std::atomic<int> checks = 0;
    const QString name = u"tarvex-server-check-%1"_s.arg(++checks);
    ServerCheck result;
    try {
        QSqlDatabase database = openServerConnection(address, password, name);
        result = checkTables(database, address);
        database.close();
    } catch (const ServerConnectionError& error) {
        return error.check();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace tarvex
