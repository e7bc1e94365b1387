#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

namespace tarvex {

// How a column is held in memory and checked before a row is stored.
enum class ColumnKind {
    AutoId,   // 32-bit key assigned by the store
    Int32,    // 32-bit signed integer
    Int16,    // -32768 to 32767
    UInt16,   // 0 to 65535
    Boolean,  // yes/no, stored as 0/1
    DateTime, // stored as "yyyy-MM-dd HH:mm:ss"
    Decimal,  // four-decimal fixed point (Decimal4)
    Text,     // up to `width` characters
    Memo,     // unlimited text
};

struct ColumnDef {
    QString name;
    ColumnKind kind;
    int width = 0; // characters, for Text only
    QString label; // the title shown to the user; empty when the column has none
    QString sqlType;
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;

    int columnIndex(QStringView columnName) const; // -1 when there is no such column
    const ColumnDef& column(int index) const { return columns.at(index); }
};

namespace schema {
const TableDef& tbMain();
const TableDef& tbComm();
const TableDef& tbFee();
const QList<const TableDef*>& allTables();

// The statements that create an empty register: tables and the indexes on the owner keys.
QStringList createStatements();
} // namespace schema

// Converts a value read from the database into the column's in-memory form:
// NULL stays an invalid QVariant, integers become qint64, yes/no a bool,
// decimals a Decimal4, dates a QDateTime and texts a QString.
QVariant fromStorage(const ColumnDef& column, const QVariant& stored);

// The value to bind when writing the column; NULL stays NULL.
QVariant toStorage(const ColumnDef& column, const QVariant& value);

// Checks a value against the column's width or range. Returns the message for the
// user when it does not fit, nothing when it does.
std::optional<QString> checkValue(const ColumnDef& column, const QVariant& value);

// Fast typed reads of the values a cursor holds for stored rows. Those are kept in the
// form fromStorage() gives (a text column holds a QString or NULL), and QVariant's
// general conversions are too slow for a walk over thousands of rows.
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
