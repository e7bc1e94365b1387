#include "conditionquery.h"

#include "enginerefusal.h"
#include "heldvalue.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <sqlite3.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The positions of the columns a condition record takes, looked up once: the query
// selects every column of tbComm in the table's order (schema::selectList).
struct ConditionColumns {
    int id, comCondition, comPct, comSum, comVal, remarks, valLen, fee, comFrom, comTill;
};

const ConditionColumns& conditionColumns() {
    static const ConditionColumns columns = [] {
        const TableDef& table = schema::tbComm();
        return ConditionColumns{table.columnIndex(u"id"),      table.columnIndex(u"ComCondition"),
                                table.columnIndex(u"ComPCT"),  table.columnIndex(u"ComSum"),
                                table.columnIndex(u"ComVal"),  table.columnIndex(u"Remarks"),
                                table.columnIndex(u"ValLen"),  table.columnIndex(u"Fee"),
                                table.columnIndex(u"ComFrom"), table.columnIndex(u"ComTill")};
    }();
    return columns;
}

QByteArray selectConditions(int fileFormat) {
    return u"SELECT %1 FROM tbComm WHERE ComId = ? ORDER BY id"_s.arg(schema::selectList(schema::tbComm(), fileFormat))
        .toUtf8();
}

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

// The day of a Gregorian year, month and day, or nothing when there is no such day. Worked
// out here rather than by QDate's constructor, which goes through the calendar system and
// costs as much as reading the rest of a condition.
std::optional<QDate> calendarDay(int year, int month, int day) {
    static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1] + (month == 2 && leap))
        return std::nullopt;
    // Days from 1 March of year 0, as in the usual civil-to-days count; 1721119 is the Julian day of that date.
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return QDate::fromJulianDay(qint64(era) * 146097 + dayOfEra + 1721120);
}

// A day of the condition; a null date for NULL. A plain "yyyy-MM-dd", the form the
// program stores, is read in place; any other value goes through the general rule.
QDate dateOf(sqlite3_stmt* statement, int column, qint64 rowId) {
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_NULL)
        return {};
    // As a blob, SQLite hands the bytes where they stand, without the copy a text needs for its terminator.
    if (type == SQLITE_TEXT && sqlite3_column_bytes(statement, column) == 10) {
        const auto* text = static_cast<const unsigned char*>(sqlite3_column_blob(statement, column));
        bool digits = text[4] == '-' && text[7] == '-';
        const auto number = [&](int from, int count) {
            int value = 0;
            for (int i = from; i < from + count; ++i) {
                digits = digits && text[i] >= '0' && text[i] <= '9';
                value = value * 10 + (text[i] - '0');
            }
            return value;
        };
        const int parts[3] = {number(0, 4), number(5, 2), number(8, 2)};
        if (const std::optional<QDate> day = calendarDay(parts[0], parts[1], parts[2]); digits && day)
            return *day;
    }
    return readNumber(schema::tbComm(), column, rowId, storedValue(statement, column)).toDate();
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
    const ConditionColumns& c = conditionColumns();
    qsizetype count = 0;
    int step;
    while ((step = sqlite3_step(m_statement)) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(m_statement, c.id);
        if (count == conditions.size())
            conditions.emplace_back();
        ConditionRecord& condition = conditions[count++];
        condition.id = id;
        assignStoredText(condition.comCondition, m_statement, c.comCondition);
        condition.comPct = decimalOf(m_statement, c.comPct, id);
        condition.comSum = wholeOf<std::int16_t>(m_statement, c.comSum, id);
        assignStoredText(condition.comVal, m_statement, c.comVal);
        assignStoredText(condition.remarks, m_statement, c.remarks);
        condition.valLen = wholeOf<std::uint16_t>(m_statement, c.valLen, id);
        assignStoredText(condition.fee, m_statement, c.fee);
        condition.validFrom = dateOf(m_statement, c.comFrom, id);
        condition.validTill = dateOf(m_statement, c.comTill, id);
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
