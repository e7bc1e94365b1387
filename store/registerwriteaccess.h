#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace tarvex {

// Why this process may not change the register file at `path`, in the user's words ("нет права
// записи в файл …"); nothing when it may.
//
// Decided from the permissions, before SQLite opens the file, by what SQLite needs in order to
// write in its rollback-journal mode: the file itself, and its folder, in which it makes the
// journal of every change. The bits are asked for the effective user, as whom SQLite works. A
// file whose owner-write bit is off counts as read-only for root too, as every write-protected
// file of the program does. A file system mounted read-only shows as well. No trial write is
// made: it would take the write lock, wait for or hold up other copies of the program, and
// leave a journal behind on every start.
std::optional<QString> registerWriteRefusal(const QString& path);

// The same for the register on the server the connection logs in to: the role may not insert,
// change or delete rows of one of the register's tables, or the server takes no writes at all
// (a standby). Asked of the server's own privilege checks, so that a role that may only read
// opens the register for reading instead of failing at its first save. Throws StoreError when
// the server cannot say.
std::optional<QString> serverRegisterWriteRefusal(QSqlDatabase& connection, const QString& place);

} // namespace tarvex
