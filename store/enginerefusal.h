#pragma once

#include "storeerror.h"

#include <QString>

class QSqlDatabase;
class QSqlError;
struct sqlite3;

namespace tarvex {

// What the program was doing with the register when its engine refused; it decides what the
// message says is kept.
enum class RegisterTask {
    Open,   // opening the register: it stays closed
    Read,   // reading it: nothing changes
    Begin,  // making ready to take a change: nothing is begun
    Save,   // storing a change: it is not stored
    Delete, // deleting: nothing is deleted
};

// Why the engine refused, sorted by what the user can do about it.
enum class RefusalCause {
    Busy,         // another program holds the register's lock
    ReadOnly,     // the file or its folder may not be written; on a server, the role may not change the tables
    NoAccess,     // the file may not be opened at all; on a server, the role may not read the tables
    DiskFull,     // no room left for the register
    Damaged,      // the file is not a sound database
    DiskError,    // the system failed to read or write the file
    Disconnected, // the connection to the server was lost
    Other,        // a statement the register does not take
};

// The cause of an SQLite result code, primary or extended.
RefusalCause refusalCause(int resultCode);
// The cause of a refusal of either engine.
RefusalCause refusalCause(const EngineRefusal& refusal);

// The engine's refusal behind a failed statement of Qt's driver. The SQLite driver reports
// SQLite's result code as the error's native code, except for its own transaction
// statements: then the connection's last result code stands in. The PostgreSQL driver
// reports the server's SQLSTATE.
EngineRefusal refusalOf(const QSqlError& error, const QSqlDatabase& database);
// The last refusal on a connection that is used directly.
EngineRefusal refusalOf(sqlite3* handle);

// The error the user is shown for a refusal: what happened, what is kept and what to do,
// in Russian, then the engine's own words in brackets for support staff:
// "Реестр занят другой программой, которая сейчас в него записывает; изменения не
// сохранены, повторите через минуту. (SQLite: database is locked)".
// `subject` is what was read (a Russian name in the accusative, the table's name in
// brackets) or the file that was opened; saving and deleting do not use it.
StoreError refusalError(RegisterTask task, const EngineRefusal& refusal, const QString& subject = QString());

// The same failure told for the task it ended: a step of a save that had to read first
// fails the save. An error that is no refusal stays as it is.
StoreError retold(const StoreError& error, RegisterTask task, const QString& subject = QString());

} // namespace tarvex
