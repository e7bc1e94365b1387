#pragma once

#include "heldrows.h"
#include "schema.h"

#include <QSqlDatabase>
#include <QVariantList>

#include <optional>

namespace tarvex {

// Every row of the table in store order (by id), each value in its held form: a number its
// field cannot hold is kept as stored, so the row can be shown and corrected (fromStorage()).
// `fileFormat` is the register's format: columns of later formats read as NULL. Throws StoreError.
HeldRows readTableRows(const QSqlDatabase& database, const TableDef& table, int fileFormat);

// Whether reading a row also keeps others from changing it until the transaction ends.
enum class RowLock {
    None,
    // For a row about to be checked and written. A register file's write transaction already
    // holds the whole file; a server locks the row itself.
    ForUpdate,
};

// The row with the id as it is stored now, in the same held form; nothing when there is no such row.
std::optional<QVariantList> readTableRow(const QSqlDatabase& database, const TableDef& table, int fileFormat, qint64 id,
                                         RowLock lock = RowLock::None);

} // namespace tarvex
