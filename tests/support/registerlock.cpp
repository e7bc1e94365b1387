#include "registerlock.h"

#include <QSqlQuery>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace tarvex::testing {

RegisterLock::RegisterLock(const QString& databasePath, Kind kind)
    : m_connectionName(u"register-lock-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    m_database = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    m_database.setDatabaseName(databasePath);
    if (!m_database.open())
        return;
    QSqlQuery query(m_database);
    switch (kind) {
    case Kind::Read: // the transaction holds on to what it read
        m_held = query.exec(u"BEGIN"_s) && query.exec(u"SELECT count(*) FROM tbMain"_s) && query.next();
        break;
    case Kind::Write:
    case Kind::Exclusive:
        // A change waits in the transaction's cache, as another program's unfinished write does.
        m_held = query.exec(kind == Kind::Write ? u"BEGIN IMMEDIATE"_s : u"BEGIN EXCLUSIVE"_s) &&
                 query.exec(u"INSERT INTO tbMain (AirCode, AirName) VALUES ('ZZ', 'чужая запись')"_s);
        break;
    }
}

RegisterLock::~RegisterLock() {
    release();
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void RegisterLock::release() {
    if (!m_held)
        return;
    QSqlQuery(m_database).exec(u"ROLLBACK"_s);
    m_held = false;
}

} // namespace tarvex::testing
