#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tarvex {

// Where the register lives: the SQLite file in the app folder, or a PostgreSQL server.
enum class RegisterEngine { Sqlite, Postgres };

// Where the register's PostgreSQL server is and as whom to log in: the keys host, port,
// name, user and sslmode of the settings. A value left empty (port 0) is libpq's to
// choose, from its environment (PGHOST, PGPORT, PGDATABASE, PGUSER, PGSSLMODE) or its
// defaults. The password is no part of it and is never written to the settings: libpq
// finds it in PGPASSWORD or ~/.pgpass, or the caller hands it to the connection in memory.
struct ServerAddress {
    QString host; // a host name, an address, or the folder of the server's Unix socket
    int port = 0;
    QString name; // the database
    QString user;
    QString sslMode; // one of sslModes(), or empty

    // What libpq could not use, in the user's words ("порт 70000 вне диапазона 1…65535");
    // nothing when every value is usable.
    std::optional<QString> problem() const;

    friend bool operator==(const ServerAddress&, const ServerAddress&) = default;

    // The modes libpq's sslmode takes.
    static const QStringList& sslModes();
};

} // namespace tarvex
