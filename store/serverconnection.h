#pragma once

#include "enginerefusal.h"
#include "serverlogin.h"
#include "storeerror.h"

#include "common/serveraddress.h"

#include <QSqlDatabase>
#include <QString>

struct pg_conn; // libpq's PGconn

namespace tarvex {

// The register's server could not be reached; check() says why and whether to ask for the password.
class ServerConnectionError : public StoreError {
public:
    explicit ServerConnectionError(ServerCheck check)
        : StoreError(check.message)
        , m_check(std::move(check)) {}

    const ServerCheck& check() const { return m_check; }

private:
    ServerCheck m_check;
};

// Adds a connection of Qt's PostgreSQL driver named connectionName and opens it. Numbers come back exactly:
// `numeric` values as texts, 64-bit integers as qint64. The password, when not empty, is handed to the
// connection in memory only; an empty one leaves libpq to find it in PGPASSWORD or ~/.pgpass. On failure the
// connection is removed again and ServerConnectionError says why.
QSqlDatabase openServerConnection(const ServerAddress& address, const QString& password, const QString& connectionName);

// Whether the connection is one to a PostgreSQL server (and not to a register file).
bool isServerConnection(const QSqlDatabase& database);

// The libpq connection behind a server connection of Qt's driver, for a reader that talks
// to libpq itself (libpq.h); nullptr for any other.
pg_conn* libpqConnection(const QSqlDatabase& database);

// Opens a server connection again when it was lost (a dropped network, a restarted server),
// so that the next command works again; nothing for a register file. Every command of the
// store comes here first; one under way when the connection is cut fails, and the next one
// logs in again. Throws StoreError with the cause Disconnected while the server cannot be
// reached, told for the `task` about to begin (refusalError()).
void reconnectIfLost(QSqlDatabase& database, RegisterTask task, const QString& subject = {});

// How messages name the register on the server open through `connection`: its database and the server.
QString serverRegisterPlace(const QSqlDatabase& connection, const ServerAddress& address);

// Logs in as the register would and reads each of its tables: Connected when they can all be read, or what
// stands in the way, each with its Russian message for the settings window.
ServerCheck checkServerConnection(const ServerAddress& address, const QString& password);

} // namespace tarvex
