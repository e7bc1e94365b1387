#include "storedrecords.h"

#include "airlinecolumns.h"

#include "heldvalue.h"
#include "libpq.h"
#include "schema.h"
#include "sqlitehandle.h"
#include "storedutf8.h"

#include <QSqlQuery>

#include <sqlite3.h>

#include <charconv>
#include <optional>

namespace tarvex {

namespace {

struct ConditionColumns {
    int id, comCondition, comPct, comSum, comVal, remarks, valLen, fee, comFrom, comTill;
};

const ConditionColumns& conditionColumns() {
    static const ConditionColumns columns = [] {
        const TableDef& table = schema::tbComm();
        return ConditionColumns{table.columnIndex(u"id"),      table.columnIndex(u"ComCondition"),
                                table.columnIndex(u"ComPct"),  table.columnIndex(u"ComSum"),
                                table.columnIndex(u"ComVal"),  table.columnIndex(u"Remarks"),
                                table.columnIndex(u"ValLen"),  table.columnIndex(u"Fee"),
                                table.columnIndex(u"ComFrom"), table.columnIndex(u"ComTill")};
    }();
    return columns;
}

// A number of the row in its held form, `column` of the statement being `tableColumn` of the table; NULL for NULL. A
// stored value the column cannot hold stops the reading with the message naming it.
QVariant numberOf(const TableDef& table, sqlite3_stmt* statement, int column, int tableColumn, qint64 rowId) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return {};
    return readNumber(table, tableColumn, rowId, storedValue(statement, column));
}

// A whole-number column: the integers SQLite stores, which it holds, are taken as they
// are; any other value goes through the general rule of numberOf(). The same for the
// reals of a decimal column below.
template <typename T>
std::optional<T> wholeOf(const TableDef& table, sqlite3_stmt* statement, int column, int tableColumn, qint64 rowId) {
    if (sqlite3_column_type(statement, column) == SQLITE_INTEGER) {
        const qint64 number = sqlite3_column_int64(statement, column);
        if (holdsWhole(table.column(tableColumn), number))
            return T(number);
    }
    const QVariant held = numberOf(table, statement, column, tableColumn, rowId);
    return held.isValid() ? std::optional<T>(T(heldInteger(held))) : std::nullopt;
}

std::optional<Decimal4> decimalOf(sqlite3_stmt* statement, int column, int tableColumn, qint64 rowId) {
    if (sqlite3_column_type(statement, column) == SQLITE_FLOAT) {
        if (const std::optional<Decimal4> decimal = heldDecimal(sqlite3_column_double(statement, column)))
            return decimal;
    }
    const QVariant held = numberOf(schema::tbComm(), statement, column, tableColumn, rowId);
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

// The day a plain "yyyy-MM-dd" of ten bytes gives, the form the program stores; nothing for any other.
std::optional<QDate> plainDay(const char* text, qsizetype length) {
    if (length != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    bool digits = true;
    const auto number = [&](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            digits = digits && text[i] >= '0' && text[i] <= '9';
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int parts[3] = {number(0, 4), number(5, 2), number(8, 2)};
    const std::optional<QDate> day = calendarDay(parts[0], parts[1], parts[2]);
    return digits ? day : std::nullopt;
}

// A day of the condition; a null date for NULL. A plain day is read in place; any other
// value goes through the general rule.
QDate dateOf(sqlite3_stmt* statement, int column, int tableColumn, qint64 rowId) {
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_NULL)
        return {};
    // As a blob, SQLite hands the bytes where they stand, without the copy a text needs for its terminator.
    if (type == SQLITE_TEXT) {
        const auto* text = static_cast<const char*>(sqlite3_column_blob(statement, column));
        if (const std::optional<QDate> day = plainDay(text, sqlite3_column_bytes(statement, column)))
            return *day;
    }
    return readNumber(schema::tbComm(), tableColumn, rowId, storedValue(statement, column)).toDate();
}

// A row of a SQLite statement, read through the fast paths above.
class SqliteRow {
public:
    SqliteRow(sqlite3_stmt* statement, int first)
        : m_statement(statement)
        , m_first(first) {}
    qint64 id(int column) const { return sqlite3_column_int64(m_statement, m_first + column); }
    void text(QString& text, int column) const { assignStoredText(text, m_statement, m_first + column); }
    // A yes/no column holds any whole number, as "not zero".
    bool flag(const TableDef& table, int column, qint64 rowId) const {
        if (sqlite3_column_type(m_statement, m_first + column) == SQLITE_INTEGER)
            return sqlite3_column_int64(m_statement, m_first + column) != 0;
        return heldBool(numberOf(table, m_statement, m_first + column, column, rowId));
    }
    template <typename T>
    std::optional<T> whole(const TableDef& table, int column, qint64 rowId) const {
        return wholeOf<T>(table, m_statement, m_first + column, column, rowId);
    }
    std::optional<Decimal4> decimal(int column, qint64 rowId) const {
        return decimalOf(m_statement, m_first + column, column, rowId);
    }
    QDate date(int column, qint64 rowId) const { return dateOf(m_statement, m_first + column, column, rowId); }

private:
    sqlite3_stmt* m_statement;
    int m_first;
};

// A row of a query on the server. Qt's PostgreSQL driver gives 64-bit integers as qint64,
// `numeric` values as their exact text and the texts as bytes; every number and day goes
// through readNumber(), the rule the SQLite path falls back on, so a value a field cannot
// hold is refused with the same message on either engine.
class ServerRow {
public:
    ServerRow(const QSqlQuery& query, int first)
        : m_query(query)
        , m_first(first) {}
    qint64 id(int column) const { return m_query.value(m_first + column).toLongLong(); }
    // Texts come as their UTF-8 bytes (serverschema::selectList()).
    void text(QString& text, int column) const {
        const QVariant stored = m_query.value(m_first + column);
        if (stored.isNull())
            text = QString();
        else
            assignStoredUtf8(text, *static_cast<const QByteArray*>(stored.constData()));
    }
    bool flag(const TableDef& table, int column, qint64 rowId) const { return heldBool(number(table, column, rowId)); }
    template <typename T>
    std::optional<T> whole(const TableDef& table, int column, qint64 rowId) const {
        const QVariant held = number(table, column, rowId);
        return held.isValid() ? std::optional<T>(T(heldInteger(held))) : std::nullopt;
    }
    std::optional<Decimal4> decimal(int column, qint64 rowId) const {
        const QVariant held = number(schema::tbComm(), column, rowId);
        return held.isValid() ? std::optional<Decimal4>(held.value<Decimal4>()) : std::nullopt;
    }
    QDate date(int column, qint64 rowId) const { return number(schema::tbComm(), column, rowId).toDate(); }

private:
    QVariant number(const TableDef& table, int column, qint64 rowId) const {
        const QVariant stored = m_query.value(m_first + column);
        if (stored.isNull())
            return {};
        // A day is a text, and comes as its bytes.
        if (stored.typeId() == QMetaType::QByteArray)
            return readNumber(table, column, rowId, storedUtf8(*static_cast<const QByteArray*>(stored.constData())));
        return readNumber(table, column, rowId, stored);
    }
    const QSqlQuery& m_query;
    int m_first;
};

// A row of a result libpq gives in text form (serverairlinesource.cpp): a text comes as its
// UTF-8 bytes and is decoded as a file's is; an integer the column holds is taken as it is,
// and any other value goes through readNumber(), as on the other paths.
class LibpqRow {
public:
    LibpqRow(const PGresult* result, int row)
        : m_result(result)
        , m_row(row) {}
    qint64 id(int column) const { return integerAt(column).value_or(0); }
    void text(QString& text, int column) const {
        if (isNull(column))
            text = QString();
        else
            assignStoredUtf8(text, bytes(column));
    }
    bool flag(const TableDef& table, int column, qint64 rowId) const {
        if (isNull(column))
            return false;
        if (const std::optional<qint64> integer = integerAt(column))
            return *integer != 0;
        return heldBool(number(table, column, rowId));
    }
    template <typename T>
    std::optional<T> whole(const TableDef& table, int column, qint64 rowId) const {
        if (isNull(column))
            return std::nullopt;
        const std::optional<qint64> integer = integerAt(column);
        if (integer && holdsWhole(table.column(column), *integer))
            return T(*integer);
        // An integer out of the field's range is named as a number, as the other engines name it.
        const QVariant stored = integer ? QVariant::fromValue(*integer) : QVariant(storedUtf8(bytes(column)));
        return T(heldInteger(readNumber(table, column, rowId, stored)));
    }
    std::optional<Decimal4> decimal(int column, qint64 rowId) const {
        if (isNull(column))
            return std::nullopt;
        return number(schema::tbComm(), column, rowId).value<Decimal4>();
    }
    QDate date(int column, qint64 rowId) const {
        if (isNull(column))
            return {};
        const QByteArrayView stored = bytes(column);
        if (const std::optional<QDate> day = plainDay(stored.data(), stored.size()))
            return *day;
        return number(schema::tbComm(), column, rowId).toDate();
    }

private:
    bool isNull(int column) const { return libpq().getisnull(m_result, m_row, column); }
    QByteArrayView bytes(int column) const {
        return {libpq().getvalue(m_result, m_row, column), libpq().getlength(m_result, m_row, column)};
    }
    // The integer a value is written as, plain digits with an optional minus; nothing for any other text.
    std::optional<qint64> integerAt(int column) const {
        const QByteArrayView stored = bytes(column);
        qint64 number = 0;
        const auto [end, error] = std::from_chars(stored.data(), stored.data() + stored.size(), number);
        if (error != std::errc() || end != stored.data() + stored.size())
            return std::nullopt;
        return number;
    }
    // A value that is not NULL, by the rule every engine follows.
    QVariant number(const TableDef& table, int column, qint64 rowId) const {
        return readNumber(table, column, rowId, storedUtf8(bytes(column)));
    }

    const PGresult* m_result;
    int m_row;
};

// Which column of a row goes to which field of a record: the same for every engine.
template <typename Row>
void fillAirline(const Row& row, AirlineRecord& airline) {
    const AirlineColumns& c = airlineColumns();
    const TableDef& table = schema::tbMain();
    airline.id = row.id(c.id);
    row.text(airline.airCode, c.airCode);
    row.text(airline.airName, c.airName);
    row.text(airline.comment, c.comment);
    row.text(airline.accCode, c.accCode);
    airline.bsp = row.flag(table, c.bsp, airline.id);
    airline.script = row.flag(table, c.script, airline.id);
}

template <typename Row>
void fillCondition(const Row& row, ConditionRecord& condition) {
    const ConditionColumns& c = conditionColumns();
    const TableDef& table = schema::tbComm();
    const qint64 id = row.id(c.id);
    condition.id = id;
    row.text(condition.comCondition, c.comCondition);
    condition.comPct = row.decimal(c.comPct, id);
    condition.comSum = row.template whole<std::int16_t>(table, c.comSum, id);
    row.text(condition.comVal, c.comVal);
    row.text(condition.remarks, c.remarks);
    condition.valLen = row.template whole<std::uint16_t>(table, c.valLen, id);
    row.text(condition.fee, c.fee);
    condition.validFrom = row.date(c.comFrom, id);
    condition.validTill = row.date(c.comTill, id);
}

} // namespace

void readAirlineRow(sqlite3_stmt* statement, int first, AirlineRecord& airline) {
    fillAirline(SqliteRow(statement, first), airline);
}

void readConditionRow(sqlite3_stmt* statement, int first, ConditionRecord& condition) {
    fillCondition(SqliteRow(statement, first), condition);
}

void readAirlineRow(const QSqlQuery& query, int first, AirlineRecord& airline) {
    fillAirline(ServerRow(query, first), airline);
}

void readConditionRow(const QSqlQuery& query, int first, ConditionRecord& condition) {
    fillCondition(ServerRow(query, first), condition);
}

void readAirlineRow(const PGresult* result, int row, AirlineRecord& airline) {
    fillAirline(LibpqRow(result, row), airline);
}

void readConditionRow(const PGresult* result, int row, ConditionRecord& condition) {
    fillCondition(LibpqRow(result, row), condition);
}

} // namespace tarvex
