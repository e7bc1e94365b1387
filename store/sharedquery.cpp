#include "sharedquery.h"

#include "enginerefusal.h"
#include "schema.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Columns of the per-airline query, in the order of tbComm.
constexpr const char* kSelectConditions =
    "SELECT id, ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee "
    "FROM tbComm WHERE ComId = ? ORDER BY id";
enum Column { Id = 0, ComCondition = 2, ComPct = 3, ComSum = 4, ComVal = 5, Remarks = 6, ValLen = 7, Fee = 8 };

// A number of the condition in its held form; NULL for NULL. A stored value the column
// cannot hold stops the reading with the message naming it.
QVariant numberOf(sqlite3_stmt* statement, int column, qint64 rowId) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return {};
    return readNumber(schema::tbComm(), column, rowId, storedValue(statement, column));
}

// A whole-number column: the integers SQLite stores, which it holds, are taken as they
// are; any other value goes through the general rule of numberOf(). The same for the
// reals of a decimal column below.
template <typename T>
std::optional<T> wholeOf(sqlite3_stmt* statement, int column, qint64 rowId) {
    if (sqlite3_column_type(statement, column) == SQLITE_INTEGER) {
        const qint64 number = sqlite3_column_int64(statement, column);
        if (holdsWhole(schema::tbComm().column(column), number))
            return T(number);
    }
    const QVariant held = numberOf(statement, column, rowId);
    return held.isValid() ? std::optional<T>(T(heldInteger(held))) : std::nullopt;
}

std::optional<Decimal4> decimalOf(sqlite3_stmt* statement, int column, qint64 rowId) {
    if (sqlite3_column_type(statement, column) == SQLITE_FLOAT) {
        if (const std::optional<Decimal4> decimal = heldDecimal(sqlite3_column_double(statement, column)))
            return decimal;
    }
    const QVariant held = numberOf(statement, column, rowId);
    return held.isValid() ? std::optional<Decimal4>(held.value<Decimal4>()) : std::nullopt;
}

// Resets the statement however the reading ends, which lets go of the read lock.
struct ResetWhenDone {
    sqlite3_stmt*& statement;
    ~ResetWhenDone() { sqlite3_reset(statement); }
};

} // namespace

SharedQuery::~SharedQuery() {
    close();
}

void SharedQuery::setDatabase(const QSqlDatabase& database) {
    close();
    m_database = database;
}

void SharedQuery::close() {
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_database = QSqlDatabase();
}

void SharedQuery::fail(const EngineRefusal& refusal) const {
    throw refusalError(RegisterTask::Read, refusal, u"условия авиакомпании (tbComm)"_s);
}

ConditionList SharedQuery::conditionsOf(qint64 airlineId) {
    ConditionList conditions;
    readConditionsOf(airlineId, conditions);
    return conditions;
}

void SharedQuery::readConditionsOf(qint64 airlineId, ConditionList& conditions) {
    sqlite3* handle = sqliteHandle(m_database);
    if (!m_statement && sqlite3_prepare_v2(handle, kSelectConditions, -1, &m_statement, nullptr) != SQLITE_OK) {
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
        const qint64 id = sqlite3_column_int64(m_statement, Id);
        if (count == conditions.size())
            conditions.emplace_back();
        ConditionRecord& condition = conditions[count++];
        condition.id = id;
        assignStoredText(condition.comCondition, m_statement, ComCondition);
        condition.comPct = decimalOf(m_statement, ComPct, id);
        condition.comSum = wholeOf<std::int16_t>(m_statement, ComSum, id);
        assignStoredText(condition.comVal, m_statement, ComVal);
        assignStoredText(condition.remarks, m_statement, Remarks);
        condition.valLen = wholeOf<std::uint16_t>(m_statement, ValLen, id);
        assignStoredText(condition.fee, m_statement, Fee);
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

} // namespace tarvex
