#include "sharedquery.h"

#include "storeerror.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Columns of the per-airline query, in the order of tbComm.
constexpr const char* kSelectConditions =
    "SELECT id, ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee "
    "FROM tbComm WHERE ComId = ? ORDER BY id";
enum Column { ConditionId = 0, ComCondition = 2, ComPct = 3, ComSum = 4, ComVal = 5, Remarks = 6, ValLen = 7, Fee = 8 };

sqlite3* handleOf(const QSqlDatabase& database) {
    const QVariant handle = database.driver() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QString text(sqlite3_stmt* statement, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(statement, column)) : QString();
}

template <typename T>
std::optional<T> number(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    return T(sqlite3_column_int64(statement, column));
}

std::optional<Decimal4> decimal(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return Decimal4::fromInteger(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return Decimal4::fromDouble(sqlite3_column_double(statement, column));
    default: // text that a hand-written statement left unconverted
        return Decimal4::parse(text(statement, column));
    }
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

void SharedQuery::fail() const {
    sqlite3* handle = handleOf(m_database);
    throw StoreError(u"Не удалось прочитать условия авиакомпании (tbComm): "_s +
                     (handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : u"база данных не открыта"_s));
}

ConditionList SharedQuery::conditionsOf(qint64 airlineId) {
    if (!m_statement) {
        sqlite3* handle = handleOf(m_database);
        if (!handle || sqlite3_prepare_v2(handle, kSelectConditions, -1, &m_statement, nullptr) != SQLITE_OK) {
            m_statement = nullptr;
            fail();
        }
    }
    sqlite3_reset(m_statement);
    sqlite3_bind_int64(m_statement, 1, airlineId);

    ConditionList conditions;
    int step;
    while ((step = sqlite3_step(m_statement)) == SQLITE_ROW) {
        ConditionRecord condition;
        condition.id = std::int32_t(sqlite3_column_int64(m_statement, ConditionId));
        condition.comCondition = text(m_statement, ComCondition);
        condition.comPct = decimal(m_statement, ComPct);
        condition.comSum = number<std::int16_t>(m_statement, ComSum);
        condition.comVal = text(m_statement, ComVal);
        condition.remarks = text(m_statement, Remarks);
        condition.valLen = number<std::uint16_t>(m_statement, ValLen);
        condition.fee = text(m_statement, Fee);
        conditions.push_back(std::move(condition));
    }
    if (step != SQLITE_DONE) {
        // A statement prepared before the schema changed under it cannot recover.
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        fail();
    }
    sqlite3_reset(m_statement); // releases the read lock
    return conditions;
}

} // namespace tarvex
