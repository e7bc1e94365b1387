#include "conditionquery.h"

#include "enginerefusal.h"
#include "schema.h"
#include "serverconnection.h"
#include "serverschema.h"
#include "sqlitehandle.h"
#include "storedrecords.h"
#include "storeerror.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

QByteArray selectConditions(int fileFormat) {
    return u"SELECT %1 FROM tbComm WHERE ComId = ? ORDER BY id"_s.arg(schema::selectList(schema::tbComm(), fileFormat))
        .toUtf8();
}

// Resets the statement however the reading ends, which lets go of the read lock.
struct ResetWhenDone {
    sqlite3_stmt*& statement;
    ~ResetWhenDone() { sqlite3_reset(statement); }
};

} // namespace

ConditionQuery::~ConditionQuery() {
    close();
}

void ConditionQuery::setDatabase(const QSqlDatabase& database, int fileFormat) {
    close();
    m_database = database;
    m_fileFormat = fileFormat;
}

void ConditionQuery::close() {
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_database = QSqlDatabase();
}

void ConditionQuery::fail(const EngineRefusal& refusal) const {
    throw refusalError(RegisterTask::Read, refusal, u"условия авиакомпании (tbComm)"_s);
}

ConditionList ConditionQuery::conditionsOf(qint64 airlineId) {
    ConditionList conditions;
    readConditionsOf(airlineId, conditions);
    return conditions;
}

void ConditionQuery::readConditionsOf(qint64 airlineId, ConditionList& conditions) {
    if (isServerConnection(m_database)) {
        readFromServer(airlineId, conditions);
        return;
    }
    sqlite3* handle = sqliteHandle(m_database);
    if (!m_statement && sqlite3_prepare_v2(handle, selectConditions(m_fileFormat).constData(), -1, &m_statement,
                                           nullptr) != SQLITE_OK) {
        m_statement = nullptr;
        fail(refusalOf(handle));
    }
    sqlite3_reset(m_statement);
    sqlite3_bind_int64(m_statement, 1, airlineId);
    const ResetWhenDone reset{m_statement};

    // The records already in the list are overwritten in place, so their texts are
    // decoded into the storage the previous airline's texts left.
    qsizetype count = 0;
    int step;
    while ((step = sqlite3_step(m_statement)) == SQLITE_ROW) {
        if (count == conditions.size())
            conditions.emplace_back();
        readConditionRow(m_statement, 0, conditions[count++]);
    }
    if (step != SQLITE_DONE) {
        const EngineRefusal refusal = refusalOf(handle);
        // A statement prepared before the schema changed under it cannot recover.
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        fail(refusal);
    }
    conditions.resize(count);
}

// The windows read one airline's conditions at a time, so the statement is made for each
// reading: one kept prepared would not survive a connection made again.
void ConditionQuery::readFromServer(qint64 airlineId, ConditionList& conditions) {
    reconnectIfLost(m_database, RegisterTask::Read, u"условия авиакомпании (tbComm)"_s);
    QSqlQuery select(m_database);
    select.setForwardOnly(true);
    const QString sql = u"SELECT %1 FROM tbComm WHERE ComId = ? ORDER BY id"_s.arg(
        serverschema::selectList(schema::tbComm(), m_fileFormat));
    if (!select.prepare(sql))
        fail(refusalOf(select.lastError(), m_database));
    select.addBindValue(airlineId);
    if (!select.exec())
        fail(refusalOf(select.lastError(), m_database));
    qsizetype count = 0;
    while (select.next()) {
        if (count == conditions.size())
            conditions.emplace_back();
        readConditionRow(select, 0, conditions[count++]);
    }
    if (select.lastError().isValid())
        fail(refusalOf(select.lastError(), m_database));
    conditions.resize(count);
}

} // namespace tarvex
