#pragma once

#include <QSqlDatabase>

namespace tarvex {

// Throws StoreError when SQLite's own check of the whole file finds the register damaged:
// an index that no longer matches its table, a broken page. Such a file reads wrong
// without any error (the per-airline query follows the index and may return another
// airline's conditions), so nothing may be written from it. The message names the file,
// quotes what SQLite found, says that nothing was written and how to repair the file.
// The check reads the whole file, so a file found intact is remembered in the user's cache
// and not read whole again while it stays the same file with the same size, times and
// SQLite change counter: any write to it, by SQLite or any other program, changes its
// status-change time, which no program can set back.
void requireIntactRegister(const QSqlDatabase& connection);

} // namespace tarvex
