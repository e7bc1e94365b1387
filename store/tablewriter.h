#pragma once

#include "enginerefusal.h"
#include "schema.h"
#include "storeerror.h"

#include <QSqlDatabase>
#include <QVariantList>

class QSqlQuery;

namespace tarvex {

// A save refused because another copy of the program changed one of the same fields
// since this one read the row: nothing was written. storedRow() is the row as it is stored
// now, in held form, for the window to show.
class RowChangedElsewhere : public StoreError {
public:
    RowChangedElsewhere(const QString& message, QVariantList storedRow)
        : StoreError(message)
        , m_storedRow(std::move(storedRow)) {}
    const QVariantList& storedRow() const { return m_storedRow; }

private:
    QVariantList m_storedRow;
};

// Writes one row of a table at a time through the connection: a new row, the changed
// columns of a row, or its deletion. Values are given in their held form and bound in
// their stored form (toStorage()); column 0 is the id the store assigns. A refusal of
// the store throws StoreError.
class TableWriter {
public:
    // `fileFormat` is the register's format: columns of later formats are not written. A
    // connection to a server that was lost is made again first; when that fails, StoreError
    // tells it for `task`, the write about to be made.
    TableWriter(const QSqlDatabase& database, const TableDef& table, int fileFormat, RegisterTask task);

    // Stores a new row from every column but the id; returns the id the store gave it.
    qint64 insertRow(const QVariantList& values) const;
    // Stores the columns of `changed` that differ from `stored`, the row as it was read.
    // Only those are written, so a change made meanwhile by another copy of the program
    // to another column of the row is kept. When the other copy changed one of those same
    // columns, nothing is written and RowChangedElsewhere says which.
    void updateRow(const QVariantList& stored, const QVariantList& changed) const;
    void deleteRow(const QVariant& id) const;

private:
    [[noreturn]] void fail(RegisterTask task, const QSqlQuery& query) const;

    QSqlDatabase m_database;
    const TableDef& m_table;
    int m_fileFormat;
};

} // namespace tarvex
