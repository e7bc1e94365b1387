#include "store/schema.h"
#include "store/serverconnection.h"
#include "support/postgresserver.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tarvex;
using tarvex::testing::PostgresServer;

Q_DECLARE_METATYPE(tarvex::ServerOutcome)

namespace {

const QString kPassword = u"пароль-агента"_s;

// The register's tables as bare shells: the check reads them, whatever their columns.
QString createRegisterTables(const QStringList& tables) {
    QString sql;
    for (const QString& table : tables)
        sql += u"CREATE TABLE %1 (id bigint);"_s.arg(table);
    return sql;
}

QStringList registerTableNames() {
    QStringList names;
    for (const TableDef* table : schema::allTables())
        names << table->name;
    return names;
}

} // namespace

class TestServerConnection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { TARVEX_REQUIRE_POSTGRESQL(m_server); }

    void checkSaysWhatHappened_data();
    void checkSaysWhatHappened();
    void passwordComesFromTheEnvironmentOrThePasswordFile();
    void numbersComeBackExactly();
    void failedOpenRemovesTheConnectionAndSaysWhy();
    void killedServerIsNoServerUntilItStartsAgain();

private:
    bool setUp(const QString& sql, const QString& database = u"postgres"_s) {
        QString problem;
        const bool done = m_server.execute(sql, database, &problem);
        if (!done)
            qWarning("%s", qPrintable(problem));
        return done;
    }

    PostgresServer m_server;
};

void TestServerConnection::initTestCase() {
    if (!m_server.isRunning())
        return; // each test says why it does not run
    const QString password = kPassword;
    for (const char* database : {"register", "empty", "partial"}) // psql sends each -c as one transaction
        QVERIFY(setUp(u"CREATE DATABASE "_s + QLatin1StringView(database)));
    QVERIFY(setUp(u"CREATE ROLE agent LOGIN PASSWORD '%1';"
                  u"CREATE ROLE reader LOGIN PASSWORD 'r'; CREATE ROLE barred NOLOGIN PASSWORD 'b';"
                  u"CREATE ROLE outsider LOGIN PASSWORD 'o';"
                  u"REVOKE CONNECT ON DATABASE register FROM PUBLIC;"
                  u"GRANT CONNECT ON DATABASE register TO agent, reader;"_s.arg(password)));
    QVERIFY(
        setUp(createRegisterTables(registerTableNames()) + u"GRANT SELECT ON ALL TABLES IN SCHEMA public TO agent;"_s,
              u"register"_s));
    QVERIFY(setUp(createRegisterTables({registerTableNames().first()}), u"partial"_s));
}

void TestServerConnection::checkSaysWhatHappened_data() {
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("serverThere");
    QTest::addColumn<ServerOutcome>("outcome");
    QTest::addColumn<QString>("saying"); // a part of the message
    const QString password = kPassword;
    QTest::newRow("connected") << u"register"_s << u"agent"_s << password << true << ServerOutcome::Connected
                               << u"таблицы реестра на месте"_s;
    QTest::newRow("no server at the address")
        << u"register"_s << u"agent"_s << password << false << ServerOutcome::NoServer << u"Нет сервера PostgreSQL"_s;
    QTest::newRow("password needed") << u"register"_s << u"agent"_s << QString() << true
                                     << ServerOutcome::PasswordNeeded << u"требует пароль пользователя «agent»"_s;
    QTest::newRow("wrong password") << u"register"_s << u"agent"_s << u"не тот"_s << true
                                    << ServerOutcome::WrongPassword << u"не принял пароль пользователя «agent»"_s;
    QTest::newRow("unknown user") << u"register"_s << u"ghost"_s << u"x"_s << true << ServerOutcome::WrongPassword
                                  << u"такого пользователя нет"_s;
    QTest::newRow("no such database") << u"nowhere"_s << u"agent"_s << password << true << ServerOutcome::NoDatabase
                                      << u"нет базы данных «nowhere»"_s;
    QTest::newRow("role may not log in") << u"register"_s << u"barred"_s << u"b"_s << true << ServerOutcome::NoRights
                                         << u"«barred» не разрешено подключаться"_s;
    QTest::newRow("role may not connect to the database")
        << u"register"_s << u"outsider"_s << u"o"_s << true << ServerOutcome::NoRights
        << u"«outsider» не разрешено подключаться к базе данных «register»"_s;
    QTest::newRow("role may not read the tables") << u"register"_s << u"reader"_s << u"r"_s << true
                                                  << ServerOutcome::NoRights << u"нет права читать таблицы реестра"_s;
    QTest::newRow("empty database") << u"empty"_s << u"agent"_s << password << true << ServerOutcome::TablesMissing
                                    << u"«tarvex-cli init-db»"_s;
    QTest::newRow("some tables missing") << u"partial"_s << u"agent"_s << password << true
                                         << ServerOutcome::TablesMissing << registerTableNames().mid(1).join(u", "_s);
}

void TestServerConnection::checkSaysWhatHappened() {
    QFETCH(QString, database);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, serverThere);
    QFETCH(ServerOutcome, outcome);
    QFETCH(QString, saying);
    ServerAddress address = m_server.address(database, user);
    if (!serverThere)
        address.host += u"/nowhere"_s;
    const ServerCheck check = checkServerConnection(address, password);
    QVERIFY2(check.message.contains(saying), qPrintable(check.message));
    QCOMPARE(check.outcome, outcome);
    QCOMPARE(check.asksForPassword(),
             outcome == ServerOutcome::PasswordNeeded || outcome == ServerOutcome::WrongPassword);
    QVERIFY(!check.message.contains(kPassword));
    QVERIFY(QSqlDatabase::connectionNames().isEmpty()); // the check leaves no connection behind
}

void TestServerConnection::passwordComesFromTheEnvironmentOrThePasswordFile() {
    const ServerAddress address = m_server.address(u"register"_s, u"agent"_s);
    qputenv("PGPASSWORD", kPassword.toUtf8());
    const ServerCheck fromEnvironment = checkServerConnection(address, QString());
    qunsetenv("PGPASSWORD");
    QCOMPARE(fromEnvironment.outcome, ServerOutcome::Connected);

    QFile passwords(m_server.passwordFile());
    QVERIFY(passwords.open(QIODevice::WriteOnly));
    QVERIFY(passwords.write(u"*:*:register:agent:%1\n"_s.arg(kPassword).toUtf8()) > 0);
    passwords.close();
    QVERIFY(passwords.setPermissions(QFile::ReadOwner | QFile::WriteOwner)); // libpq ignores a file others can read
    const ServerCheck fromFile = checkServerConnection(address, QString());
    QVERIFY(passwords.remove());
    QCOMPARE(fromFile.outcome, ServerOutcome::Connected);
}

void TestServerConnection::numbersComeBackExactly() {
    {
        QSqlDatabase database =
            openServerConnection(m_server.address(u"register"_s, u"agent"_s), kPassword, u"exact"_s);
        QSqlQuery query(database);
        QVERIFY(query.exec(u"SELECT 12345678901234567.8901::numeric, 9007199254740993::bigint, 'Аэрофлот'::text"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), u"12345678901234567.8901"_s);
        QCOMPARE(query.value(1).toLongLong(), 9007199254740993LL); // one past what a double holds exactly
        QCOMPARE(query.value(2).toString(), u"Аэрофлот"_s);
    }
    QSqlDatabase::removeDatabase(u"exact"_s);
}

void TestServerConnection::failedOpenRemovesTheConnectionAndSaysWhy() {
    try {
        openServerConnection(m_server.address(u"register"_s, u"agent"_s), u"не тот"_s, u"refused"_s);
        QFAIL("a wrong password opened the connection");
    } catch (const ServerConnectionError& error) {
        QCOMPARE(error.check().outcome, ServerOutcome::WrongPassword);
        QCOMPARE(error.message(), error.check().message);
    }
    QVERIFY(!QSqlDatabase::contains(u"refused"_s));

    ServerAddress badPort = m_server.address(u"register"_s);
    badPort.port = 70000;
    QCOMPARE(checkServerConnection(badPort, QString()).outcome, ServerOutcome::BadAddress);
}

void TestServerConnection::killedServerIsNoServerUntilItStartsAgain() {
    const ServerAddress address = m_server.address(u"register"_s, u"agent"_s);
    m_server.kill();
    QVERIFY(!m_server.isRunning());
    QCOMPARE(checkServerConnection(address, kPassword).outcome, ServerOutcome::NoServer);
    QVERIFY2(m_server.start(), qPrintable(m_server.problem()));
    QCOMPARE(checkServerConnection(address, kPassword).outcome, ServerOutcome::Connected);
}

QTEST_GUILESS_MAIN(TestServerConnection)
#include "tst_serverconnection.moc"
