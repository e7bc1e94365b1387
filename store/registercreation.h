#pragma once

#include <QString>

#include <functional>

namespace tarvex {

class RegisterStore;

// What goes into a new register before anyone can see it, such as the demo airlines.
using RegisterFill = std::function<void(RegisterStore&)>;

// Creates the register file at `path`, whole or not at all. The tables, and what `fill`
// adds through a store opened on them, are built under a temporary name in the same
// folder; that file takes the name `path` only if nothing stands there by then, in one
// step of the file system. So of several creators started at once exactly one makes the
// register and the others find it complete. Throws StoreError, saying so when the file
// exists; a creator that fails removes only its own temporary file, never the register.
void createRegister(const QString& path, const RegisterFill& fill = {});

} // namespace tarvex
