// The command-line tool on the register on a PostgreSQL server: init-db, the copies both ways, and the
// outputs, which must be the same bytes as those written from the register file they were copied from.

#include "../xlsx/zipentries.h"
#include "support/postgresserver.h"
#include "support/registerfixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tarvex::testing::PostgresServer;
using tarvex::testing::readFile;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome runCli(const QString& appDir, const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TARVEX_CLI_PATH), QStringList{u"--app-dir"_s, appDir} + arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// Runs statements on a register file, as the sqlite3 shell would.
void runSql(const QString& databasePath, const QStringList& statements) {
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"runSql"_s);
        database.setDatabaseName(databasePath);
        QVERIFY2(database.open(), qPrintable(database.lastError().text()));
        QSqlQuery query(database);
        for (const QString& statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(statement + u": "_s + query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"runSql"_s);
}

// Every row of the register's tables, each value with its storage class and its bytes in hex, so a text
// that lost a character or a number stored as another kind shows.
QStringList registerRows(const QString& databasePath) {
    QStringList rows;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"registerRows"_s);
        database.setDatabaseName(databasePath);
        if (!database.open())
            return {u"<unreadable> "_s + database.lastError().text()};
        QSqlQuery query(database);
        for (const QString& table : {u"tbMain"_s, u"tbComm"_s, u"tbFee"_s}) {
            QStringList columns;
            if (!query.exec(u"PRAGMA table_info(%1)"_s.arg(table)))
                return {u"<unreadable> "_s + query.lastError().text()};
            while (query.next())
                columns << u"typeof(%1) || ':' || hex(%1)"_s.arg(query.value(1).toString());
            if (!query.exec(u"SELECT %1 FROM %2 ORDER BY id"_s.arg(columns.join(u", "_s), table)))
                return {u"<unreadable> "_s + query.lastError().text()};
            while (query.next()) {
                QStringList values;
                for (int column = 0; column < columns.size(); ++column)
                    values << query.value(column).toString();
                rows << table + u": "_s + values.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(u"registerRows"_s);
    return rows;
}

const QRegularExpression kMoment(u"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ"_s);

// The files of a folder by name, each workbook as its parts.
QMap<QString, QByteArray> outputs(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QByteArray content = readFile(dir.filePath(name));
        if (!name.endsWith(u".xlsx"_s)) {
            files.insert(name, content);
            continue;
        }
        const ZipArchive workbook = readZip(content);
        files.insert(name + u" problems"_s, workbook.problems.join(u'\n').toUtf8());
        for (const ZipEntry& entry : workbook.entries) {
            QByteArray data = entry.data;
            // The moment the workbook was written: the only part two runs a second apart may not share.
            if (entry.name == u"docProps/core.xml"_s)
                data = QString::fromUtf8(data).replace(kMoment, u"<moment>"_s).toUtf8();
            files.insert(name + u'/' + entry.name, data);
        }
    }
    return files;
}

constexpr qint64 kLargeId = 4'611'686'018'427'387'904; // 2^62: beyond every 32-bit and every double-exact id

} // namespace

class TestCliServer : public QObject {
    Q_OBJECT

private slots:
    void init();

    void registerCopiedToTheServerAndBackIsTheSameAndWritesTheSameFiles();
    void airlineDeletedOnTheServerIsNotWritten();
    void copiesAndCreationRefuseToOverwrite();
    void valueAFieldCannotHoldIsRefusedAlike();
    void registerOfThousandsWritesTheSameFiles();

private:
    // An app folder with the demo settings whose register is on the server's database.
    void writeSettings(const QString& appDir, bool onServer) {
        QVERIFY(QDir().mkpath(appDir));
        QByteArray ini = readFile(QStringLiteral(TARVEX_DEMO_OPTIONS));
        if (onServer) {
            ini += "\n[db]\ndriver=postgresql\nhost=" + m_server.socketFolder().toUtf8() +
                   "\nport=" + QByteArray::number(PostgresServer::kPort) + "\nname=" + m_database.toUtf8() +
                   "\nuser=" + PostgresServer::superuser().toUtf8() + "\n";
        }
        QFile file(appDir + u"/options.ini"_s);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size() && file.flush());
    }
    // The demo register with an airline of awkward values, in the file of `appDir`.
    void makeAwkwardRegister(const QString& appDir) {
        const Outcome created = runCli(appDir, {u"init-db"_s, u"--demo"_s});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
        runSql(
            appDir + u"/DB/Tarvex.mdb"_s,
            {u"INSERT INTO tbMain (id, AirCode, AirName, Commision, Fee, Comment, AccCode, BSP, Dog, DogDate, "
             u"ContrAgent, Script) VALUES (%1, 'Z9', 'Кавычки \" и '' ' || char(65534) || ' ' || char(128747), "
             u"'7,25%%', NULL, char(65279) || 'Смайлик ' || char(128512), '999', 1, 'Д-1', '2027-03-10 00:00:00', NULL, 1)"_s
                 .arg(kLargeId),
             u"INSERT INTO tbComm (ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee, ComFrom, "
             u"ComTill) VALUES (%1, 'Доля \"семь с четвертью\"', '7.2500', NULL, NULL, 'RM Z9 ' || char(65534), "
             u"NULL, NULL, '2027-01-01', '2027-12-31')"_s.arg(kLargeId),
             u"INSERT INTO tbComm (ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee, ComFrom, "
             u"ComTill) VALUES (%1, 'Сумма без валюты', NULL, 150, 'RUB', 'RM Z9 SUM', 3, '100 руб.', NULL, "
             u"'2027-03-05')"_s.arg(kLargeId),
             u"INSERT INTO tbFee (FeeId, FeeCondition, FeePCT, FeeSumm, FeeVal) VALUES (%1, 'Сбор', 0.1, NULL, "
             u"'RUB')"_s.arg(kLargeId)});
    }
    // The awkward register in the file of both app folders.
    void makeAwkwardRegisters() {
        makeAwkwardRegister(m_fileApp);
        QVERIFY(QDir().mkpath(m_serverApp + u"/DB"_s));
        QVERIFY(QFile::copy(m_fileApp + u"/DB/Tarvex.mdb"_s, m_serverApp + u"/DB/Tarvex.mdb"_s));
    }
    Outcome onServer(const QStringList& arguments) { return runCli(m_serverApp, arguments); }
    // Every output written from the server is the one written from the file.
    void requireSameOutputs() {
        for (const QString& dir : {m_fileApp, m_serverApp}) {
            const Outcome all = runCli(dir, {u"generate"_s, u"all"_s, u"--on"_s, u"01.03.2027"_s});
            QVERIFY2(all.exitCode == 0, qPrintable(all.err));
        }
        const QMap<QString, QByteArray> fromFile = outputs(m_fileApp + u"/Files"_s);
        const QMap<QString, QByteArray> fromServer = outputs(m_serverApp + u"/Files"_s);
        QCOMPARE(fromFile.keys(), fromServer.keys());
        QVERIFY(fromFile.size() >= 5);
        for (auto file = fromFile.cbegin(); file != fromFile.cend(); ++file) {
            const QByteArray& server = fromServer.value(file.key());
            qsizetype at = 0;
            while (at < server.size() && at < file->size() && server[at] == file->at(at))
                ++at;
            QVERIFY2(server == *file, qPrintable(u"%1 differs from byte %2: file «%3», server «%4»"_s.arg(file.key())
                                                     .arg(at)
                                                     .arg(QString::fromUtf8(file->mid(at, 60)))
                                                     .arg(QString::fromUtf8(server.mid(at, 60)))));
        }
    }

    PostgresServer m_server;
    QTemporaryDir m_folder;
    QString m_database;
    QString m_fileApp;   // the register in its file
    QString m_serverApp; // the register on the server
    int m_databases = 0;
};

void TestCliServer::init() {
    TARVEX_REQUIRE_POSTGRESQL(m_server);
    m_database = u"register%1"_s.arg(++m_databases);
    QVERIFY(m_server.execute(u"CREATE DATABASE "_s + m_database));
    m_fileApp = m_folder.filePath(m_database + u"-file"_s);
    m_serverApp = m_folder.filePath(m_database + u"-server"_s);
    writeSettings(m_fileApp, false);
    writeSettings(m_serverApp, true);
}

void TestCliServer::registerCopiedToTheServerAndBackIsTheSameAndWritesTheSameFiles() {
    makeAwkwardRegisters();
    const Outcome created = onServer({u"init-db"_s});
    QVERIFY2(created.exitCode == 0, qPrintable(created.err));
    const Outcome copied = onServer({u"copy-register"_s, u"--to-server"_s});
    QVERIFY2(copied.exitCode == 0, qPrintable(copied.err));

    const QString back = m_folder.filePath(m_database + u"-back.mdb"_s);
    const Outcome copiedBack = onServer({u"copy-register"_s, u"--from-server"_s, back});
    QVERIFY2(copiedBack.exitCode == 0, qPrintable(copiedBack.err));
    QCOMPARE(copiedBack.out.trimmed(), back);
    const QStringList original = registerRows(m_fileApp + u"/DB/Tarvex.mdb"_s);
    QVERIFY(original.size() > 20);
    QVERIFY(original.join(u'\n').contains(u"EFBFBE"_s)); // U+FFFE in UTF-8
    QCOMPARE(registerRows(back), original);

    // The server's next ids come after the largest copied one.
    QString problem;
    QVERIFY2(m_server.execute(u"DO $$ BEGIN IF (SELECT nextval(pg_get_serial_sequence('tbmain', 'id'))) <= %1 "
                              u"THEN RAISE EXCEPTION 'sequence behind'; END IF; END $$"_s.arg(kLargeId),
                              m_database, &problem),
             qPrintable(problem));

    requireSameOutputs();

    for (const QStringList& command : {QStringList{u"check"_s, u"--on"_s, u"01.03.2027"_s},
                                       QStringList{u"report"_s, u"expiring"_s, u"--days"_s, u"100000"_s}}) {
        const Outcome file = runCli(m_fileApp, command);
        const Outcome server = onServer(command);
        QCOMPARE(server.exitCode, file.exitCode);
        QCOMPARE(server.out, file.out);
        QVERIFY(file.out.contains(u"Z9"_s));
    }
}

void TestCliServer::airlineDeletedOnTheServerIsNotWritten() {
    makeAwkwardRegisters();
    QCOMPARE(onServer({u"init-db"_s}).exitCode, 0);
    QCOMPARE(onServer({u"copy-register"_s, u"--to-server"_s}).exitCode, 0);

    const auto smartKey = [&] {
        const Outcome written = onServer({u"generate"_s, u"smartkey"_s, u"--on"_s, u"01.03.2027"_s});
        return written.exitCode == 0 ? readFile(written.out.trimmed()) : written.err.toUtf8();
    };
    QVERIFY(smartKey().contains("Z9"));
    QVERIFY(m_server.execute(
        u"BEGIN; DELETE FROM tbComm WHERE ComId = %1; DELETE FROM tbMain WHERE id = %1; COMMIT"_s.arg(kLargeId),
        m_database));
    const QByteArray after = smartKey();
    QVERIFY2(after.contains("SU"), after.constData());
    QVERIFY(!after.contains("Z9"));
}

void TestCliServer::copiesAndCreationRefuseToOverwrite() {
    makeAwkwardRegisters();
    QCOMPARE(onServer({u"init-db"_s}).exitCode, 0);
    const Outcome again = onServer({u"init-db"_s});
    QCOMPARE(again.exitCode, 1);
    QVERIFY2(again.err.contains(u"уже есть таблицы реестра"_s), qPrintable(again.err));

    QCOMPARE(onServer({u"copy-register"_s, u"--to-server"_s}).exitCode, 0);
    const QString back = m_folder.filePath(m_database + u"-back.mdb"_s);
    QCOMPARE(onServer({u"copy-register"_s, u"--from-server"_s, back}).exitCode, 0);
    const QStringList copied = registerRows(back);

    const Outcome twice = onServer({u"copy-register"_s, u"--to-server"_s});
    QCOMPARE(twice.exitCode, 1);
    QVERIFY2(twice.err.contains(u"уже содержат строки"_s), qPrintable(twice.err));

    const QByteArray before = readFile(back);
    const Outcome overFile = onServer({u"copy-register"_s, u"--from-server"_s, back});
    QCOMPARE(overFile.exitCode, 1);
    QVERIFY2(overFile.err.contains(u"уже существует"_s), qPrintable(overFile.err));
    QCOMPARE(readFile(back), before);

    // Nothing of the refused copy reached the server.
    QFile::remove(back);
    QCOMPARE(onServer({u"copy-register"_s, u"--from-server"_s, back}).exitCode, 0);
    QCOMPARE(registerRows(back), copied);
}

void TestCliServer::valueAFieldCannotHoldIsRefusedAlike() {
    makeAwkwardRegisters();
    for (const QString& dir : {m_fileApp, m_serverApp})
        runSql(dir + u"/DB/Tarvex.mdb"_s, {u"UPDATE tbComm SET ComSum = 100000 WHERE ComId = %1"_s.arg(kLargeId)});
    QCOMPARE(onServer({u"init-db"_s}).exitCode, 0);
    QCOMPARE(onServer({u"copy-register"_s, u"--to-server"_s}).exitCode, 0);

    const Outcome file = runCli(m_fileApp, {u"generate"_s, u"smartkey"_s});
    const Outcome server = onServer({u"generate"_s, u"smartkey"_s});
    QCOMPARE(file.exitCode, 1);
    QVERIFY2(file.err.contains(u"= 100000"_s), qPrintable(file.err));
    QCOMPARE(server.exitCode, file.exitCode);
    QCOMPARE(server.err, file.err);
}

// More rows than the server hands over at once: batches of airlines are fetched between batches of conditions
// asked for ahead, codes repeat (ties go by id) and each airline's conditions lie far apart.
void TestCliServer::registerOfThousandsWritesTheSameFiles() {
    const Outcome created = runCli(m_fileApp, {u"init-db"_s, u"--demo"_s});
    QVERIFY2(created.exitCode == 0, qPrintable(created.err));
    runSql(m_fileApp + u"/DB/Tarvex.mdb"_s,
           {u"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 4500) "
            u"INSERT INTO tbMain (id, AirCode, AirName, Comment, AccCode, BSP, Script) "
            u"SELECT 100000 + x, char(65 + x * 7 % 26) || char(65 + x * 11 % 26), 'Авиакомпания ' || x, "
            u"'Комментарий ' || x, printf('%03d', x % 1000), x % 2, 1 FROM n"_s,
            u"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 13500) "
            u"INSERT INTO tbComm (ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee) "
            u"SELECT 100001 + x * 13 % 4500, 'Условие ' || x, CASE WHEN x % 2 = 0 THEN 7.5 END, "
            u"CASE WHEN x % 2 = 1 THEN 500 END, CASE WHEN x % 2 = 1 THEN 'EUR' END, 'RM ' || x, "
            u"CASE WHEN x % 2 = 1 THEN 4 END, '300 руб.' FROM n"_s});
    QVERIFY(QDir().mkpath(m_serverApp + u"/DB"_s));
    QVERIFY(QFile::copy(m_fileApp + u"/DB/Tarvex.mdb"_s, m_serverApp + u"/DB/Tarvex.mdb"_s));
    QCOMPARE(onServer({u"init-db"_s}).exitCode, 0);
    QCOMPARE(onServer({u"copy-register"_s, u"--to-server"_s}).exitCode, 0);
    requireSameOutputs();
}

QTEST_GUILESS_MAIN(TestCliServer)
#include "tst_cliserver.moc"
