#pragma once

#include "schema.h"

#include <QString>

struct sqlite3;

namespace tarvex {

// Brings the register file to the program's format, one step a format, each step in a
// transaction of its own: a step adds the columns of its format (ColumnDef::sinceFormat)
// and writes the new number, and nothing else in the file changes. Another copy of the
// program that brought the file up meanwhile is noticed inside the transaction.
//
// A file the program may not write stays as it is and is read in its own format, so
// the columns of later formats read as empty. A file of a later format than the program
// knows is refused untouched: StoreError, as for any other failure.
//
// Returns the format the file is read in.
// `fileFormat` is the format the file had when it was opened (its user_version).
int bringToCurrentFormat(sqlite3* handle, const QString& path, int fileFormat);

} // namespace tarvex
