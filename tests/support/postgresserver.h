#pragma once

#include "common/serveraddress.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace tarvex::testing {

// A PostgreSQL server of the test's own: a new cluster in a temporary folder that listens
// on a Unix socket in that folder only, so tests never meet a real server or each other.
// When the tests run as root the server runs as the user postgres (or nobody), since it
// refuses to run as root.
//
// The server is a child of the test process that the kernel ends with the process
// (PR_SET_PDEATHSIG): a test that crashes, or that CTest kills at its timeout, leaves no
// server running behind it. The object stops it when it goes.
//
// The role "tarvex" is the cluster's superuser and logs in without a password; every other
// role needs its password. libpq's password sources are the test's own: PGPASSWORD is
// cleared and PGPASSFILE names passwordFile(), which no one has written yet.
class PostgresServer {
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Why the server could not be started; empty when it runs.
    const QString& problem() const { return m_problem; }
    bool isRunning() const { return m_server.state() != QProcess::NotRunning; }
    // The server's main process, which a signal may end from any thread.
    qint64 processId() const { return m_server.processId(); }

    // The folder of the server's socket, for libpq's host.
    QString socketFolder() const { return m_folder.path(); }
    static constexpr int kPort = 5432;
    static QString superuser() { return QStringLiteral("tarvex"); }
    // The address of a database of this server, logging in as `user`.
    ServerAddress address(const QString& database, const QString& user = superuser()) const;
    // The password file libpq reads for the test (PGPASSFILE).
    QString passwordFile() const { return m_folder.filePath(QStringLiteral("pgpass")); }

    // Runs SQL through psql as the superuser; psql's complaint, when it fails, in `problem`.
    bool execute(const QString& sql, const QString& database = QStringLiteral("postgres"),
                 QString* problem = nullptr) const;

    // Ends the server at once (an immediate shutdown), as a crash or a pulled cable would:
    // every connection is cut and nothing uncommitted survives. start() brings it back.
    void kill();
    bool start();

    // Whether a test that needs the server fails, rather than skips, when it cannot start:
    // TARVEX_REQUIRE_POSTGRESQL=1 in the environment, as the test command sets in CI.
    static bool isRequired();

private:
    bool run(const QString& program, const QStringList& arguments, QString* output) const;
    bool initialise();
    bool waitUntilReady();

    QTemporaryDir m_folder;
    QString m_binaries;
    QString m_problem;
    QProcess m_server;
};

} // namespace tarvex::testing

// Skips the test, saying why, when the server did not start; fails it instead where the
// server is required (PostgresServer::isRequired()).
#define TARVEX_REQUIRE_POSTGRESQL(server)                                                                              \
    do {                                                                                                               \
        if (!(server).isRunning()) {                                                                                   \
            const QByteArray reason = ("PostgreSQL test server not started: " + (server).problem()).toLocal8Bit();     \
            if (tarvex::testing::PostgresServer::isRequired())                                                         \
                QFAIL(reason.constData());                                                                             \
            QSKIP(reason.constData());                                                                                 \
        }                                                                                                              \
    } while (false)
