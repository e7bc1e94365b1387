#include "sharedquery.h"

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

// A number of the condition in its held form; NULL for NULL.
QVariant numberOf(sqlite3_stmt* statement, int column, qint64 rowId) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return {};
    return readNumber(schema::tbComm(), column, rowId, storedValue(statement, column));
}

// Resets the statement however the reading ends, which lets go of the read lock.
struct ResetWhenDone {
    sqlite3_stmt*& statement;
    ~ResetWhenDone() { sqlite3_reset(statement); }
};

template <typename T>
std::optional<T> whole(const QVariant& held) {
    return held.isValid() ? std::optional<T>(T(heldInteger(held))) : std::nullopt;
}

std::optional<Decimal4> decimal(const QVariant& held) {
    return held.isValid() ? std::optional<Decimal4>(held.value<Decimal4>()) : std::nullopt;
}

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

void SharedQuery::fail(sqlite3* handle) const {
    throw StoreError(u"Не удалось прочитать условия авиакомпании (tbComm): "_s +
                     QString::fromUtf8(sqlite3_errmsg(handle)));
}

ConditionList SharedQuery::conditionsOf(qint64 airlineId) {
    sqlite3* handle = sqliteHandle(m_database);
    if (!m_statement && sqlite3_prepare_v2(handle, kSelectConditions, -1, &m_statement, nullptr) != SQLITE_OK) {
        m_statement = nullptr;
        fail(handle);
    }
    sqlite3_reset(m_statement);
    sqlite3_bind_int64(m_statement, 1, airlineId);
    const ResetWhenDone reset{m_statement};

    ConditionList conditions;
    int step;
    while ((step = sqlite3_step(m_statement)) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(m_statement, Id);
        ConditionRecord condition;
        condition.id = id;
        condition.comCondition = storedText(m_statement, ComCondition);
        condition.comPct = decimal(numberOf(m_statement, ComPct, id));
        condition.comSum = whole<std::int16_t>(numberOf(m_statement, ComSum, id));
        condition.comVal = storedText(m_statement, ComVal);
        condition.remarks = storedText(m_statement, Remarks);
        condition.valLen = whole<std::uint16_t>(numberOf(m_statement, ValLen, id));
        condition.fee = storedText(m_statement, Fee);
        conditions.push_back(std::move(condition));
    }
    if (step != SQLITE_DONE) {
        // A statement prepared before the schema changed under it cannot recover.
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        fail(handle);
    }
    return conditions;
}

} // namespace tarvex
