#pragma once

#include "common/serveraddress.h"

#include <QString>

namespace tarvex {

// What an attempt to reach the register on a PostgreSQL server met, sorted by what the user can do about it.
enum class ServerOutcome {
    Connected,      // logged in (and, after a full check, the register's tables can be read)
    BadAddress,     // the settings hold a value libpq cannot take
    NoServer,       // nothing answers at the address
    PasswordNeeded, // the server asks for a password and none was given or found
    WrongPassword,  // the server refused the password (or the user name, which it does not tell apart)
    NoDatabase,     // the server has no database of that name
    NoRights,       // the role may not log in or connect, or may not read the register's tables
    TablesMissing,  // the database lacks the register's tables
    Failed,         // anything else; the message carries the server's or libpq's own words
};

// The outcome with its message for the user, in Russian.
struct ServerCheck {
    ServerOutcome outcome = ServerOutcome::Failed;
    QString message;

    // Whether a window should ask for the password and try again: none was found, or the server refused it.
    bool asksForPassword() const {
        return outcome == ServerOutcome::PasswordNeeded || outcome == ServerOutcome::WrongPassword;
    }
};

// Tries to log in through libpq itself and says why it failed, or Connected. The reasons come from the server's
// SQLSTATE codes and libpq's own state, never from the wording of messages, which the server's and the
// desktop's languages change. An empty password leaves libpq to find one in PGPASSWORD or ~/.pgpass.
ServerCheck diagnoseServerLogin(const ServerAddress& address, const QString& password);

// How the messages name the server: the host (or libpq's default) and the port.
QString describeServer(const ServerAddress& address);

} // namespace tarvex
