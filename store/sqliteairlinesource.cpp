#include "airlinesource.h"

#include "enginerefusal.h"
#include "registerstore.h"
#include "schema.h"
#include "sqlitehandle.h"
#include "storedrecords.h"
#include "storeerror.h"

#include <QSqlError>

#include <sqlite3.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kAirlinesSubject = u"авиакомпании (tbMain)"_s;
const QString kConditionsSubject = u"условия авиакомпаний (tbComm)"_s;

// Steps a statement; true on a row, false at its end. Throws the refusal of reading the subject.
bool stepRow(sqlite3_stmt* statement, const QString& subject) {
    const int step = sqlite3_step(statement);
    if (step == SQLITE_ROW)
        return true;
    if (step != SQLITE_DONE)
        throw refusalError(RegisterTask::Read, refusalOf(sqlite3_db_handle(statement)), subject);
    return false;
}

// The register file through SQLite's own interface: texts as stored, numbers by storage class.
// The conditions of each airline are looked up by their index as the airline comes: inside the
// process a lookup costs no round trip, and unlike the merged query it needs no sort of every
// condition, which would hold them all in memory at once. A reader of the airlines alone, or
// of some airlines' conditions only, reads no others.
class SqliteAirlineSource : public AirlineSource {
public:
    explicit SqliteAirlineSource(RegisterStore& store)
        : m_database(store.connection())
        , m_handle(sqliteHandle(m_database)) {
        if (!m_database.transaction())
            throw refusalError(RegisterTask::Read, refusalOf(m_database.lastError(), m_database), kAirlinesSubject);
        m_inTransaction = true;
        m_airlines.emplace(m_handle, airlinesInCodeOrder(airlineRecordColumns(store.format())).toUtf8(),
                           kAirlinesSubject);
        m_conditions.emplace(m_handle,
                             u"SELECT %1 FROM tbComm WHERE ComId = ?1 ORDER BY id"_s
                                 .arg(schema::selectList(schema::tbComm(), store.format()))
                                 .toUtf8(),
                             kConditionsSubject);
    }
    ~SqliteAirlineSource() override {
        m_conditions.reset();
        m_airlines.reset();
        if (m_inTransaction)
            m_database.rollback(); // nothing was written: just let go of the read lock
    }

    int airlineCount() override {
        const SqliteStatement count(m_handle, "SELECT COUNT(*) FROM tbMain", kAirlinesSubject);
        if (sqlite3_step(count.get()) != SQLITE_ROW)
            throw refusalError(RegisterTask::Read, refusalOf(m_handle), kAirlinesSubject);
        return int(sqlite3_column_int64(count.get(), 0));
    }
    bool nextAirline(AirlineRecord& airline) override {
        if (!stepRow(m_airlines->get(), kAirlinesSubject))
            return false;
        readAirlineRow(m_airlines->get(), 0, airline);
        return true;
    }
    bool nextConditionOf(qint64 airlineId) override {
        sqlite3_stmt* const conditions = m_conditions->get();
        if (airlineId != m_conditionsOf) {
            sqlite3_reset(conditions); // its error, if any, was thrown by the step that met it
            if (sqlite3_bind_int64(conditions, 1, airlineId) != SQLITE_OK)
                throw refusalError(RegisterTask::Read, refusalOf(m_handle), kConditionsSubject);
            m_conditionsOf = airlineId;
            m_conditionsEnded = false;
        }
        // SQLite would run a finished statement again from its start.
        m_conditionsEnded = m_conditionsEnded || !stepRow(conditions, kConditionsSubject);
        return !m_conditionsEnded;
    }
    void passConditionsOf(qint64) override {}
    void readCondition(ConditionRecord& condition) override { readConditionRow(m_conditions->get(), 0, condition); }

private:
    QSqlDatabase m_database;
    sqlite3* m_handle;
    bool m_inTransaction = false;
    std::optional<SqliteStatement> m_airlines;
    std::optional<SqliteStatement> m_conditions;
    std::optional<qint64> m_conditionsOf; // the airline the conditions' statement is bound to
    bool m_conditionsEnded = false;       // its last condition has been passed
};

} // namespace

std::unique_ptr<AirlineSource> sqliteAirlineSource(RegisterStore& store) {
    return std::make_unique<SqliteAirlineSource>(store);
}

} // namespace tarvex
