#pragma once

#include <QString>

namespace tarvex {

class Options;
class RegisterStore;

// Opens the register the settings choose (section [db]) for the outputs: the app folder's
// file, or the register on the PostgreSQL server, whose password libpq finds in
// PGPASSWORD or ~/.pgpass. Throws what the store or the settings throw.
void openRegisterForOutputs(RegisterStore& store, const QString& appDir, const Options& options);

} // namespace tarvex
