#pragma once

#include "enginerefusal.h"
#include "schema.h"

#include <QSqlDatabase>
#include <QVariantList>

class QSqlQuery;

namespace tarvex {

// Writes one row of a table at a time through the connection: a new row, the changed
// columns of a row, or its deletion. Values are given in their held form and bound in
// their stored form (toStorage()); column 0 is the id the store assigns. A refusal of
// the store throws StoreError.
class TableWriter {
public:
    // `fileFormat` is the register's format: columns of later formats are not written.
    TableWriter(const QSqlDatabase& database, const TableDef& table, int fileFormat);

    // Stores a new row from every column but the id; returns the id the store gave it.
    qint64 insertRow(const QVariantList& values) const;
    // Stores the columns of `changed` that differ from `stored`, the row as it was read.
    // Only those are written, so a change made meanwhile by another copy of the program
    // to another column of the row is kept.
    void updateRow(const QVariantList& stored, const QVariantList& changed) const;
    void deleteRow(const QVariant& id) const;

private:
    [[noreturn]] void fail(RegisterTask task, const QSqlQuery& query) const;

    QSqlDatabase m_database;
    const TableDef& m_table;
    int m_fileFormat;
};

} // namespace tarvex
