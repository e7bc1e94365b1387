#include "serverregistercreation.h"

#include "serverconnection.h"
#include "serverschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The connection, removed however the creation ends.
class ServerSession {
public:
    explicit ServerSession(const ServerAddress& address)
        : m_name(u"tarvex-create-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
        , m_database(openServerConnection(address, {}, m_name)) {}
    ~ServerSession() {
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;
    QSqlDatabase& database() { return m_database; }

private:
    QString m_name;
    QSqlDatabase m_database;
};

} // namespace

QString createServerRegister(const ServerAddress& address, const ServerRegisterFill& fill) {
    ServerSession session(address);
    QSqlDatabase& database = session.database();
    const QString place = serverRegisterPlace(database, address);
    const auto failure = [&](const QString& reason) {
        return StoreError(u"Не удалось создать реестр в базе данных %1: %2"_s.arg(place, reason));
    };
    if (!database.transaction())
        throw failure(database.lastError().databaseText());
    // Taken before the check, so that of two creators started at once the second waits and then finds the tables.
    QSqlQuery query(database);
    if (!query.exec(u"SELECT pg_advisory_xact_lock(hashtext('tarvex register'))"_s))
        throw failure(query.lastError().databaseText());
    if (const QStringList present = serverschema::presentTables(database); !present.isEmpty()) {
        database.rollback();
        throw StoreError(u"В базе данных %1 уже есть таблицы реестра (%2): они не будут изменены."_s.arg(
            place, present.join(u", "_s)));
    }
    try {
        for (const QString& statement : serverschema::createStatements()) {
            if (!query.exec(statement))
                throw failure(query.lastError().databaseText());
        }
        if (fill)
            fill(database);
        if (!database.commit())
            throw failure(database.lastError().databaseText());
    } catch (...) {
        database.rollback();
        throw;
    }
    return place;
}

} // namespace tarvex
