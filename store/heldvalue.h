#pragma once

#include "decimal4.h"
#include "schema.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace tarvex {

// Whether a column can hold a value, and the value in the column's in-memory form.
// One rule for values read from the store and values about to be stored: a number
// column holds a whole number (qint64; a yes/no column a bool) or a four-decimal
// Decimal4 within its range, from an integer, a real or a plain number text that gives
// it exactly (a percentage is rounded to four places, as the register has always
// been read). A fraction in a whole-number column, a number outside the range, any
// other text and a blob are not held: `problem` says why, and `value` stays as given.
struct HeldValue {
    QVariant value;
    QString problem; // e.g. "вне допустимого диапазона −32768…32767"; empty when held
    bool fits() const { return problem.isEmpty(); }
};
HeldValue holdValue(const ColumnDef& column, const QVariant& value);

// The day a stored date text gives: "2027-03-01", or an ISO date and time of that day
// ("2027-03-01 00:00:00"); nothing for any other text.
std::optional<QDate> parseStoredDate(QStringView text);

// Whether a whole-number column (a key, Int16 or UInt16) holds the integer as it is:
// holdValue()'s range check without its general conversions, for the integers SQLite
// gives a walk over thousands of rows. False for any other column.
bool holdsWhole(const ColumnDef& column, qint64 number);

// The same for a real in a Decimal column: the percentage it gives, rounded to four
// places, or nothing when the column cannot hold it (holdValue() says why).
std::optional<Decimal4> heldDecimal(double real);

// Converts a value read from the database into the column's in-memory form: NULL stays
// an invalid QVariant, texts become a QString, dates a QDateTime and numbers their
// holdValue() form. A number its column cannot hold is kept as read, so the row can
// still be shown and corrected; using it as a number refuses it (requireHeld).
QVariant fromStorage(const ColumnDef& column, const QVariant& stored);

// The value to bind when writing the column; NULL stays NULL.
QVariant toStorage(const ColumnDef& column, const QVariant& value);

// Checks a value about to be stored against the column's range or width. Returns the
// message for the user when it does not fit, nothing when it does.
std::optional<QString> checkValue(const ColumnDef& column, const QVariant& value);

// Whether a held value is in the form fromStorage() gives to a value its column holds.
bool isHeldForm(const ColumnDef& column, const QVariant& value);

// Reads a stored value of a number column as a number: its held form, or StoreError
// naming the table, the row's id, the field and the value when the column cannot hold it:
// «Сумма» (ComSum) = 100000 в строке id 7 таблицы условий комиссии (tbComm) вне допустимого диапазона −32768…32767
QVariant readNumber(const TableDef& table, int column, qint64 rowId, const QVariant& stored);

// The same refusal for a value a cursor holds (fromStorage() kept it as stored).
void requireHeld(const TableDef& table, int column, qint64 rowId, const QVariant& value);

// Fast typed reads of the values a cursor holds for stored rows. Those are kept in the
// form fromStorage() gives (a text column holds a QString or NULL), and QVariant's
// general conversions are too slow for a walk over thousands of rows. A number read
// this way must have passed requireHeld() or come from a row the cursor stored itself.
inline QString heldText(const QVariant& value) {
    if (!value.isValid())
        return {};
    Q_ASSERT(value.typeId() == QMetaType::QString);
    return *static_cast<const QString*>(value.constData());
}
inline qint64 heldInteger(const QVariant& value) {
    return value.typeId() == QMetaType::LongLong ? *static_cast<const qint64*>(value.constData()) : value.toLongLong();
}
inline bool heldBool(const QVariant& value) {
    return value.typeId() == QMetaType::Bool ? *static_cast<const bool*>(value.constData()) : value.toBool();
}

// The text a value shows as: NULL and empty both give the empty text.
QString displayText(const ColumnDef& column, const QVariant& value);

} // namespace tarvex
