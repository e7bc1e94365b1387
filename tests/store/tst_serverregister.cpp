#include "store/registerstore.h"
#include "store/serverconnection.h"
#include "store/serverschema.h"
#include "support/postgresserver.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tarvex;
using tarvex::testing::PostgresServer;

// Opening the register on the server: what stands in the way is said as for a register file.
class TestServerRegister : public QObject {
    Q_OBJECT

private slots:
    void init() { TARVEX_REQUIRE_POSTGRESQL(m_server); }

    void openRefusesWhatIsNoRegister_data();
    void openRefusesWhatIsNoRegister();
    void openReadsTheFormat();

private:
    // A new database holding the register's tables, changed by `change`.
    QString registerDatabase(const QString& change) {
        const QString database = u"register%1"_s.arg(++m_databases);
        if (!m_server.execute(u"CREATE DATABASE "_s + database))
            return {};
        QString problem;
        if (!m_server.execute(serverschema::createStatements().join(u";\n"_s) + u";\n"_s + change, database,
                              &problem)) {
            qWarning("%s", qPrintable(problem));
            return {};
        }
        return database;
    }

    PostgresServer m_server;
    int m_databases = 0;
};

void TestServerRegister::openRefusesWhatIsNoRegister_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("no tables") << u"DROP TABLE tbMain, tbComm, tbFee"_s << u"нет таблицы авиакомпаний (tbMain)"_s;
    QTest::newRow("no fee table") << u"DROP TABLE tbFee"_s << u"нет таблицы сервисных сборов (tbFee)"_s;
    QTest::newRow("column missing") << u"ALTER TABLE tbComm DROP COLUMN ComTill"_s
                                    << u"В таблице условий комиссии (tbComm) базы данных «%1» на сервере PostgreSQL"_s;
    QTest::newRow("no format") << u"COMMENT ON TABLE tbMain IS NULL"_s << u"не помечена как реестр Tarvex"_s;
    QTest::newRow("later format") << u"COMMENT ON TABLE tbMain IS 'Tarvex register format 99'"_s
                                  << u"более новой версией Tarvex (формат 99"_s;
}

void TestServerRegister::openRefusesWhatIsNoRegister() {
    QFETCH(QString, change);
    QFETCH(QString, message);
    const QString database = registerDatabase(change);
    QVERIFY(!database.isEmpty());
    RegisterStore store;
    try {
        store.openServer(m_server.address(database));
        QFAIL("opened");
    } catch (const StoreError& error) {
        QVERIFY2(error.message().contains(message.contains(u"%1"_s) ? message.arg(database) : message),
                 qPrintable(error.message()));
    }
    QVERIFY(!store.isOpen());
}

void TestServerRegister::openReadsTheFormat() {
    const QString database = registerDatabase({});
    QVERIFY(!database.isEmpty());
    RegisterStore store;
    store.openServer(m_server.address(database));
    QVERIFY(store.isOpen());
    QCOMPARE(store.engine(), RegisterEngine::Postgres);
    QCOMPARE(store.format(), kRegisterFormat);
    QVERIFY2(store.place().contains(database), qPrintable(store.place()));
}

QTEST_GUILESS_MAIN(TestServerRegister)
#include "tst_serverregister.moc"
