#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace tarvex {

struct TableDef;

// The register's tables on a PostgreSQL server: the tables, columns and indexes of the
// SQLite register (schema.h) under the same names, created unquoted so that one SQL text
// serves both engines. Every value keeps what SQLite keeps: 64-bit whole numbers, exact
// `numeric` percentages, texts and days as texts. Texts compare by code point (collation
// "C"), as SQLite compares them, so both engines sort codes alike.
//
// The server keeps the register's format in the comment of tbMain, read back by
// serverRegisterFormat(), so the register needs no table of its own for it.
namespace serverschema {

// The statements that create the empty register of the current format.
QStringList createStatements();

// The format the comment of tbMain gives. Throws StoreError, naming `where`, when the table
// has none of this program's, or when the format is one this program does not know.
int registerFormat(QSqlDatabase& database, const QString& where);

// The columns of a table of the register, in lower case as the server folds them; empty
// when the table is missing. Throws StoreError when the server cannot say.
QStringList columnsOf(QSqlDatabase& database, const QString& table);

// The columns of a table for a SELECT on the server, as schema::selectList() gives them, but
// each text as its UTF-8 bytes: Qt's driver decodes texts itself and drops a byte order mark
// that opens one, so the texts are decoded as the register file's are (storedutf8.h).
QString selectList(const TableDef& table, int registerFormat, QStringView qualifier = {});

// The register's tables the database already holds, by their names in the schema.
QStringList presentTables(QSqlDatabase& database);

} // namespace serverschema

} // namespace tarvex
