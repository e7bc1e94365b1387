#include "airlinestream.h"

#include "enginerefusal.h"
#include "registerstore.h"
#include "schema.h"
#include "storedrecords.h"
#include "storeerror.h"

#include <QSqlError>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kAirlinesSubject = u"авиакомпании (tbMain)"_s;
const QString kConditionsSubject = u"условия авиакомпаний (tbComm)"_s;

// Airlines sort by code, in code points (SQLite compares UTF-8 texts byte by byte, which
// is the same order), ties by id: the order the airline list shows.
QByteArray selectAirlines(int fileFormat) {
    return u"SELECT %1 FROM tbMain ORDER BY AirCode, id"_s.arg(schema::selectList(schema::tbMain(), fileFormat))
        .toUtf8();
}

// The conditions in the order of their airlines, so that both queries run in step.
QByteArray selectConditions(int fileFormat) {
    return u"SELECT %1 FROM tbComm c JOIN tbMain m ON m.id = c.ComId ORDER BY m.AirCode, m.id, c.id"_s
        .arg(schema::selectList(schema::tbComm(), fileFormat, u"c"))
        .toUtf8();
}

int countAirlines(sqlite3* handle) {
    const SqliteStatement count(handle, "SELECT COUNT(*) FROM tbMain", kAirlinesSubject);
    if (sqlite3_step(count.get()) != SQLITE_ROW)
        throw refusalError(RegisterTask::Read, refusalOf(handle), kAirlinesSubject);
    return int(sqlite3_column_int64(count.get(), 0));
}

// Steps a statement; true on a row, false at its end. Throws the refusal of reading the subject.
bool stepRow(sqlite3_stmt* statement, const QString& subject) {
    const int step = sqlite3_step(statement);
    if (step == SQLITE_ROW)
        return true;
    if (step != SQLITE_DONE)
        throw refusalError(RegisterTask::Read, refusalOf(sqlite3_db_handle(statement)), subject);
    return false;
}

} // namespace

AirlineStream::AirlineStream(RegisterStore& store)
    : m_database(store.connection()) {
    sqlite3* handle = sqliteHandle(m_database);
    if (!m_database.transaction())
        throw refusalError(RegisterTask::Read, refusalOf(m_database.lastError(), m_database), kAirlinesSubject);
    m_inTransaction = true;
    m_airlineCount = countAirlines(handle);
    m_airlines.emplace(handle, selectAirlines(store.format()), kAirlinesSubject);
    m_conditions.emplace(handle, selectConditions(store.format()), kConditionsSubject);
    stepConditions();
}

AirlineStream::~AirlineStream() {
    m_conditions.reset();
    m_airlines.reset();
    if (m_inTransaction)
        m_database.rollback(); // nothing was written: just let go of the read lock
}

bool AirlineStream::nextAirline(AirlineRecord& airline) {
    if (!stepRow(m_airlines->get(), kAirlinesSubject))
        return false;
    readAirlineRow(m_airlines->get(), 0, airline);
    m_airlineId = airline.id;
    return true;
}

void AirlineStream::takeConditions(ConditionList* conditions) {
    static const int kComId = schema::tbComm().columnIndex(u"ComId");
    qsizetype count = 0;
    while (m_conditionPending && sqlite3_column_int64(m_conditions->get(), kComId) == m_airlineId) {
        if (conditions) {
            if (count == conditions->size())
                conditions->emplace_back();
            readConditionRow(m_conditions->get(), 0, (*conditions)[count++]);
        }
        stepConditions();
    }
    if (conditions)
        conditions->resize(count);
}

void AirlineStream::stepConditions() {
    m_conditionPending = stepRow(m_conditions->get(), kConditionsSubject);
}

} // namespace tarvex
