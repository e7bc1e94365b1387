#pragma once

#include <QSqlDatabase>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvex {

// The SQLite connection under a Qt connection, for reads that need SQLite's storage
// classes and its UTF-8 texts as stored: Qt's driver reads texts as UTF-16, a conversion
// in which SQLite turns U+FFFE and U+FFFF into U+FFFD. Throws StoreError when the connection is not open, or when
// Qt's SQLite driver does not use the SQLite library this program is linked with: a
// handle of another copy of the library must not be passed to this one.
sqlite3* sqliteHandle(const QSqlDatabase& database);

// A value of a result column as SQLite stores it, kept apart by its storage class:
// NULL an invalid QVariant, an integer a qint64, a real a double, a text a QString read
// from its UTF-8 form (so every character, U+FFFE and U+FFFF included, comes through
// unchanged) and a blob a QByteArray.
QVariant storedValue(sqlite3_stmt* statement, int column);

// A text column read from its UTF-8 form; NULL reads as the null QString.
QString storedText(sqlite3_stmt* statement, int column);
// The same, into `text`, reusing its storage when nothing else shares it.
void assignStoredText(QString& text, sqlite3_stmt* statement, int column);
// The text in no more memory than it takes, for a text held long.
QString compactStoredText(sqlite3_stmt* statement, int column);

// A prepared statement finalized when it goes out of scope.
class SqliteStatement {
public:
    // Throws the refusal of reading `subject` (see refusalError()) when SQLite cannot prepare it.
    SqliteStatement(sqlite3* handle, const QByteArray& sql, const QString& subject);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace tarvex
