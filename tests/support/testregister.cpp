#include "testregister.h"

#include "store/serverschema.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvex::testing {

TestRegister::TestRegister(RegisterEngine engine, const PostgresServer& server)
    : m_engine(engine)
    , m_server(server) {
    if (m_engine != RegisterEngine::Postgres)
        return;
    static int databases = 0;
    const QString name = u"register%1"_s.arg(++databases);
    m_address = m_server.address(name);
    if (!m_server.execute(u"CREATE DATABASE "_s + name, u"postgres"_s, &m_problem) ||
        !m_server.execute(serverschema::createStatements().join(u";\n"_s) + u";\n"_s, name, &m_problem))
        return;
    writeServerOptions();
}

void TestRegister::writeServerOptions() const {
    m_folder.writeOptions("[db]\ndriver=postgresql\nhost=" + m_address.host.toUtf8() +
                          "\nport=" + QByteArray::number(m_address.port) + "\nname=" + m_address.name.toUtf8() +
                          "\nuser=" + m_address.user.toUtf8() + "\n");
}

void TestRegister::logInAs(const QString& user) {
    m_address.user = user;
    writeServerOptions();
}

void TestRegister::open(RegisterStore& store, RegisterStore::Use use) const {
    if (m_engine == RegisterEngine::Postgres)
        store.openServer(m_address, {}, use);
    else
        store.open(m_folder.appDir(), use);
}

bool TestRegister::execute(const QString& sql) const {
    if (m_engine == RegisterEngine::Postgres)
        return m_server.execute(sql, m_address.name);
    RegisterStore store;
    store.open(m_folder.appDir(), RegisterStore::Use::ForOutputs);
    QSqlQuery query(store.connection());
    return query.exec(sql);
}

void addEngineRows() {
    QTest::addColumn<RegisterEngine>("engine");
    QTest::newRow("file") << RegisterEngine::Sqlite;
    QTest::newRow("server") << RegisterEngine::Postgres;
}

RegisterEngine engineOfRow() {
    QFETCH_GLOBAL(RegisterEngine, engine);
    return engine;
}

} // namespace tarvex::testing
