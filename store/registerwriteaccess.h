#pragma once

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

} // namespace tarvex
