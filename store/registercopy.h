#pragma once

#include <QSqlDatabase>
#include <QString>

namespace tarvex {

class RegisterStore;

// Copies between a register file and the register on a PostgreSQL server. Every row keeps
// its id and every value what the file holds: whole numbers, exact percentages, texts as
// stored, days as texts.

// Copies the rows of the register file open in `file` into the tables of the register open
// in `server`, in one transaction, and moves the server's id sequences past the largest id.
// Refuses, changing nothing, when the server's tables already hold rows. Throws StoreError.
void copyRegisterToServer(RegisterStore& file, RegisterStore& server);

// The rows of `file` into the server's tables through `server`, in a transaction the caller
// has begun, the sequences moved on: for a new register that is filled as it is created.
void copyRowsToServer(RegisterStore& file, QSqlDatabase& server);

// Writes the register open in `server` into a new register file at `path`, made as
// createRegister() makes one and read from one state of the server's register. Refuses
// an existing file. Throws StoreError.
void copyRegisterFromServer(RegisterStore& server, const QString& path);

} // namespace tarvex
