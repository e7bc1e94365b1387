#pragma once

#include <QSqlDatabase>

namespace tarvex {

// Throws StoreError when SQLite's own check of the whole file finds the register damaged:
// an index that no longer matches its table, a broken page. Such a file reads wrong
// without any error (the per-airline query follows the index and may return another
// airline's conditions), so nothing may be written from it. The message names the file,
// quotes what SQLite found, says that nothing was written and how to repair the file.
void requireIntactRegister(const QSqlDatabase& connection);

} // namespace tarvex
