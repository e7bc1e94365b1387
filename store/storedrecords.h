#pragma once

#include "airlinerecord.h"

class QSqlQuery;
struct pg_result;
struct sqlite3_stmt;

namespace tarvex {

// Records read straight from a SQLite result row whose columns, from `first` on, are the
// columns of the record's table in the schema's order. Each number passes its column's
// rule: a stored value the field cannot hold stops the reading with a StoreError naming it.
// The records' texts reuse their storage, so a reader that fills the same records row
// after row allocates only for longer texts.
void readAirlineRow(sqlite3_stmt* statement, int first, AirlineRecord& airline);
void readConditionRow(sqlite3_stmt* statement, int first, ConditionRecord& condition);

// The same from the current row of a query on the register's PostgreSQL server, with the
// same rules and the same messages.
void readAirlineRow(const QSqlQuery& query, int first, AirlineRecord& airline);
void readConditionRow(const QSqlQuery& query, int first, ConditionRecord& condition);

// The same from a row of a result libpq gave in text form, whose columns are the record's
// table's in the schema's order.
void readAirlineRow(const pg_result* result, int row, AirlineRecord& airline);
void readConditionRow(const pg_result* result, int row, ConditionRecord& condition);

} // namespace tarvex
