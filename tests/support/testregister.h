#pragma once

#include "postgresserver.h"
#include "registerfixture.h"

#include "common/serveraddress.h"
#include "store/registerstore.h"

#include <QTest>

namespace tarvex::testing {

// The empty register of one test on the engine it names: the register file of a temporary
// app folder, or a new database of a throwaway PostgreSQL server holding the same tables. The
// app folder's options.ini names the server in the second case, so a window started there
// opens the server's register as an office would.
class TestRegister {
public:
    // `server` is used only for the server engine, and must be running.
    TestRegister(RegisterEngine engine, const PostgresServer& server);

    RegisterEngine engine() const { return m_engine; }
    // Empty when the register could not be made; otherwise it is ready.
    const QString& problem() const { return m_problem; }
    QString appDir() const { return m_folder.appDir(); }
    // The server's database of the register, for the server engine.
    ServerAddress address() const { return m_address; }

    // Opens the register in `store`, as another copy of the program would.
    void open(RegisterStore& store, RegisterStore::Use use = RegisterStore::Use::ForWindows) const;

    // From now on the register is opened, and the app folder's options.ini logs in, as `user`:
    // a role the test made on the server.
    void logInAs(const QString& user);

    // Runs SQL on the register as its owner: to change it behind the program's back.
    bool execute(const QString& sql) const;

private:
    void writeServerOptions() const;

    RegisterEngine m_engine;
    const PostgresServer& m_server;
    TempAppFolder m_folder;
    ServerAddress m_address;
    QString m_problem;
};

// Qt Test's global data for a test that runs once on each engine: call it from
// initTestCase_data(), then engineOfRow() in init().
void addEngineRows();
RegisterEngine engineOfRow();

} // namespace tarvex::testing

// Makes `registerPointer` (a std::unique_ptr<TestRegister>) a new register on the engine of the
// global data row: skipped or failed, as TARVEX_REQUIRE_POSTGRESQL says, when the server is not running.
#define TARVEX_NEW_TEST_REGISTER(registerPointer, server)                                                              \
    do {                                                                                                               \
        const RegisterEngine engineOfThisRow = tarvex::testing::engineOfRow();                                         \
        if (engineOfThisRow == RegisterEngine::Postgres)                                                               \
            TARVEX_REQUIRE_POSTGRESQL(server);                                                                         \
        registerPointer = std::make_unique<tarvex::testing::TestRegister>(engineOfThisRow, server);                    \
        QVERIFY2((registerPointer)->problem().isEmpty(), qPrintable((registerPointer)->problem()));                    \
    } while (false)
