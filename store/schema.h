#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tarvex {

// How a column is held in memory and checked before a row is stored.
enum class ColumnKind {
    AutoId,   // 64-bit key assigned by the store
    OwnerId,  // 64-bit id of the owning airline
    Int16,    // -32768 to 32767
    UInt16,   // 0 to 65535
    Boolean,  // yes/no, stored as 0/1
    DateTime, // stored as "yyyy-MM-dd HH:mm:ss"
    Date,     // a day, stored as "yyyy-MM-dd"; held as a QDate
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
    int sinceFormat = 0; // the register format that added the column (registerformat.h)
};

// The name messages give a field: its title with its own name in brackets, «Сумма» (ComSum),
// or its own name alone where it has no other, «ValLen».
QString fieldName(const ColumnDef& column);

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    QString title; // what the table holds, as "таблица …" goes on: "авиакомпаний"

    int columnIndex(QStringView columnName) const; // -1 when there is no such column
    // The name messages use: the title with the table's own name in brackets, "авиакомпаний (tbMain)".
    QString shownName() const;
    // The table as a refusal to read or write it names it: "таблицу авиакомпаний (tbMain)".
    QString refusalSubject() const;
    const ColumnDef& column(int index) const { return columns.at(index); }
};

// The shape of the register: which tables and columns the file has. The file keeps the
// number of its format (SQLite's user_version), so every later change of the shape has
// one place to look (registerformat.h). Format 0 is the register as it has always been;
// format 1 adds the days a condition is in force (tbComm.ComFrom, ComTill).
constexpr int kRegisterFormat = 1;

namespace schema {
const TableDef& tbMain();
const TableDef& tbComm();
const TableDef& tbFee();
const QList<const TableDef*>& allTables();

// The statements that create an empty register of the current format: tables and the
// indexes on the owner keys.
QStringList createStatements();

// The columns of the table, comma-separated, for a SELECT from a register of the given
// format: a column a later format added reads as NULL. A qualifier ("c") names the table
// in a join.
QString selectList(const TableDef& table, int fileFormat, QStringView qualifier = {});
// The same with each present column's expression (the qualified name) as `read` gives it.
QString selectList(const TableDef& table, int fileFormat, QStringView qualifier,
                   const std::function<QString(const ColumnDef& column, const QString& name)>& read);
} // namespace schema

} // namespace tarvex
