#pragma once

#include "common/serveraddress.h"

#include <QSqlDatabase>

#include <functional>

namespace tarvex {

// What goes into a new register on the server in the transaction that creates its tables.
using ServerRegisterFill = std::function<void(QSqlDatabase& server)>;

// Creates the register's tables in the server's database, whole or not at all, with what
// `fill` adds. Refuses, changing nothing, when any of the tables already exists. The
// password is libpq's to find (PGPASSWORD, ~/.pgpass). Throws ServerConnectionError when
// the server cannot be reached, StoreError otherwise. Returns how messages name the register.
QString createServerRegister(const ServerAddress& address, const ServerRegisterFill& fill = {});

} // namespace tarvex
