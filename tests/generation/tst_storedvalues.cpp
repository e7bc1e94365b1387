#include "../xlsx/zipentries.h"
#include "generation/generationrun.h"
#include "generation/runobserver.h"
#include "settings/options.h"
#include "store/storeerror.h"
#include "support/recordingobserver.h"
#include "support/registerfixture.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

// Writes to the register file as the sqlite3 shell does: plain statements on a
// connection of its own, nothing checked by the program.
void runSql(const QString& databasePath, const QStringList& statements) {
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        database.setDatabaseName(databasePath);
        QVERIFY2(database.open(), qPrintable(database.lastError().text()));
        QSqlQuery query(database);
        for (const QString& statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(statement + u": "_s + query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
}

const QString kAirline = u"INSERT INTO tbMain (id, AirCode, AirName, AccCode, BSP, Script) "
                         u"VALUES (1, 'ZZ', 'T', '999', 1, 1)"_s;

QString targetName(OutputKind kind) {
    switch (kind) {
    case OutputKind::SmartKey:
        return u"Tarvex-Rules.txt"_s;
    case OutputKind::SmartFlow:
        return u"Tarvex-SmartFlow.txt"_s;
    case OutputKind::Workbook:
        return u"Tarvex_comissions.xlsx"_s;
    case OutputKind::AirlineList:
        return u"Tarvex_AviaList.csv"_s;
    }
    return {};
}

} // namespace

class TestStoredValues : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_folder = std::make_unique<TempAppFolder>();
        m_options = std::make_unique<Options>(m_folder->appDir());
        m_observer = RecordingObserver();
    }
    void cleanup() {
        m_run.reset();
        m_folder.reset();
    }

    void valueItsFieldCannotHoldStopsTheRun_data() {
        QTest::addColumn<QStringList>("statements"); // after the airline ZZ with id 1
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("table"); // the offending row is the first of its table
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("shown"); // what the register shows of the stored value
        QTest::addColumn<QString>("message");

        const auto condition = [](const QString& columns, const QString& values) {
            return QStringList{
                u"INSERT INTO tbComm (id, ComId, ComCondition, %1) VALUES (7, 1, 'c', %2)"_s.arg(columns, values)};
        };
        const int smartKey = int(OutputKind::SmartKey);
        const QString sumRange = u"вне допустимого диапазона −32768…32767"_s;
        const QString percentRange = u"вне допустимого диапазона −99999999999999.9999…99999999999999.9999"_s;

        QTest::newRow("sum beyond 16 bits")
            << condition(u"ComSum, ComVal"_s, u"100000, 'RUB'"_s) << smartKey << u"tbComm"_s << u"ComSum"_s
            << u"100000"_s
            << u"«Сумма» (ComSum) = 100000 в строке id 7 таблицы условий комиссии (tbComm) "_s + sumRange;
        QTest::newRow("sum at the 64-bit limit")
            << condition(u"ComSum, ComVal"_s, u"9223372036854775807, 'RUB'"_s) << smartKey << u"tbComm"_s << u"ComSum"_s
            << u"9223372036854775807"_s
            << u"«Сумма» (ComSum) = 9223372036854775807 в строке id 7 таблицы условий комиссии (tbComm) "_s + sumRange;
        QTest::newRow("sum with a fraction")
            << condition(u"ComSum, ComVal"_s, u"7.9, 'RUB'"_s) << smartKey << u"tbComm"_s << u"ComSum"_s << u"7.9"_s
            << u"«Сумма» (ComSum) = 7.9 в строке id 7 таблицы условий комиссии (tbComm) не является целым числом"_s;
        QTest::newRow("sum as text")
            << condition(u"ComSum, ComVal"_s, u"'abc', 'RUB'"_s) << int(OutputKind::Workbook) << u"tbComm"_s
            << u"ComSum"_s << u"abc"_s
            << u"«Сумма» (ComSum) = 'abc' в строке id 7 таблицы условий комиссии (tbComm) не является целым числом"_s;
        QTest::newRow("sum as blob")
            << condition(u"ComSum, ComVal"_s, u"X'00FF', 'RUB'"_s) << smartKey << u"tbComm"_s << u"ComSum"_s
            << u"X'00FF'"_s
            << u"«Сумма» (ComSum) = X'00FF' в строке id 7 таблицы условий комиссии (tbComm) не является целым числом"_s;
        QTest::newRow("percent far too large")
            << condition(u"ComPCT"_s, u"1e300"_s) << smartKey << u"tbComm"_s << u"ComPCT"_s << u"1e+300"_s
            << u"«%» (ComPCT) = 1e+300 в строке id 7 таблицы условий комиссии (tbComm) "_s + percentRange;
        QTest::newRow("percent infinite")
            << condition(u"ComPCT"_s, u"9e999"_s) << int(OutputKind::SmartFlow) << u"tbComm"_s << u"ComPCT"_s
            << u"inf"_s << u"«%» (ComPCT) = inf в строке id 7 таблицы условий комиссии (tbComm) "_s + percentRange;
        QTest::newRow("percent as text in a menu")
            << QStringList{condition(u"ComPCT"_s, u"'abc'"_s).first(),
                           u"INSERT INTO tbComm (id, ComId, ComCondition, ComPCT) VALUES (8, 1, 'd', 5)"_s}
            << smartKey << u"tbComm"_s << u"ComPCT"_s << u"abc"_s
            << u"«%» (ComPCT) = 'abc' в строке id 7 таблицы условий комиссии (tbComm) не является числом"_s;
        QTest::newRow("percent NaN alone")
            << condition(u"ComPCT"_s, u"'NaN'"_s) << smartKey << u"tbComm"_s << u"ComPCT"_s << u"NaN"_s
            << u"«%» (ComPCT) = 'NaN' в строке id 7 таблицы условий комиссии (tbComm) не является числом"_s;
        QTest::newRow("negative length")
            << condition(u"ComSum, ComVal, ValLen"_s, u"50, 'EUR', -1"_s) << smartKey << u"tbComm"_s << u"ValLen"_s
            << u"-1"_s
            << u"«ValLen» = -1 в строке id 7 таблицы условий комиссии (tbComm) вне допустимого диапазона 0…65535"_s;
        QTest::newRow("length beyond 16 bits")
            << condition(u"ComSum, ComVal, ValLen"_s, u"50, 'EUR', 70000"_s) << int(OutputKind::Workbook) << u"tbComm"_s
            << u"ValLen"_s << u"70000"_s
            << u"«ValLen» = 70000 в строке id 7 таблицы условий комиссии (tbComm) вне допустимого диапазона 0…65535"_s;
        QTest::newRow("last day not a day")
            << condition(u"ComPCT, ComTill"_s, u"5, 'завтра'"_s) << smartKey << u"tbComm"_s << u"ComTill"_s
            << u"завтра"_s
            << u"«Действует по» (ComTill) = 'завтра' в строке id 7 таблицы условий комиссии (tbComm) не является датой ГГГГ-ММ-ДД"_s;
        QTest::newRow("last day that does not exist")
            << condition(u"ComPCT, ComTill"_s, u"5, '2027-02-29'"_s) << int(OutputKind::SmartFlow) << u"tbComm"_s
            << u"ComTill"_s << u"2027-02-29"_s
            << u"«Действует по» (ComTill) = '2027-02-29' в строке id 7 таблицы условий комиссии (tbComm) не является датой ГГГГ-ММ-ДД"_s;
        QTest::newRow("first day written the Russian way")
            << condition(u"ComPCT, ComFrom"_s, u"5, '01.03.2027'"_s) << int(OutputKind::Workbook) << u"tbComm"_s
            << u"ComFrom"_s << u"01.03.2027"_s
            << u"«Действует с» (ComFrom) = '01.03.2027' в строке id 7 таблицы условий комиссии (tbComm) не является датой ГГГГ-ММ-ДД"_s;
        QTest::newRow("yes/no as text")
            << QStringList{u"UPDATE tbMain SET Script = 'yes' WHERE id = 1"_s} << int(OutputKind::AirlineList)
            << u"tbMain"_s << u"Script"_s << u"yes"_s
            << u"«Script» = 'yes' в строке id 1 таблицы авиакомпаний (tbMain) не является целым числом"_s;
    }
    void valueItsFieldCannotHoldStopsTheRun() {
        QFETCH(QStringList, statements);
        QFETCH(int, kind);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        runSql(m_folder->databasePath(), QStringList{kAirline} + statements);
        const QString target = m_folder->filesDir() + u'/' + targetName(OutputKind(kind));
        writeFile(target, "previous run");

        // The register opens and shows the row as stored, so the user can correct it.
        openRegister();
        TableCursor& cursor = table == u"tbMain"_s ? m_folder->store().airlines() : m_folder->store().conditions();
        cursor.first();
        QCOMPARE(cursor.text(column), shown);

        const RunResult result = m_run->run({OutputKind(kind)});
        QCOMPARE(result.status, RunResult::Status::Failed);
        QCOMPARE(result.message, message);
        QCOMPARE(readFile(target), QByteArray("previous run"));
        QCOMPARE(QDir(m_folder->filesDir()).entryList(QDir::Files), QStringList{targetName(OutputKind(kind))});
        QCOMPARE(m_observer.events, (QStringList{u"started"_s, u"ended"_s}));

        // Storing the row again applies the same rule, without the row's place.
        cursor.edit();
        try {
            cursor.post();
            QFAIL("the row was stored");
        } catch (const StoreError& error) {
            const TableDef& definition = table == u"tbMain"_s ? schema::tbMain() : schema::tbComm();
            QCOMPARE(error.message(), QString(message).remove(u" в строке id %1 таблицы %2"_s.arg(
                                          table == u"tbMain"_s ? u"1"_s : u"7"_s, definition.shownName())));
        }
    }

    void eachAirlineGetsItsOwnConditionsWhateverItsId() {
        runSql(m_folder->databasePath(),
               {u"INSERT INTO tbMain (id, AirCode, AirName, AccCode, BSP, Script) "
                u"VALUES (1, 'ZZ', 'T', '999', 1, 1), (4294967297, 'BB', 'B', '111', 1, 1)"_s,
                u"INSERT INTO tbComm (ComId, ComCondition, ComSum, ComVal) VALUES (1, 'c', 500, 'RUB')"_s,
                u"INSERT INTO tbComm (ComId, ComCondition, ComPCT) VALUES (4294967297, 'd', 9)"_s});
        openRegister();
        const RunResult result = m_run->run({OutputKind::SmartKey});
        QCOMPARE(result.status, RunResult::Status::Written);
        const QByteArray script = readFile(result.filePath);
        QVERIFY2(script.contains(">BB<FM9<SEND>>") && script.contains(">ZZ<FM500A;<SEND>>"), script.constData());
        QCOMPARE(script.count("<FM"), 2);
    }

    void everyCharacterOfAirlineTextsReachesTheWorkbook() {
        runSql(m_folder->databasePath(),
               {u"INSERT INTO tbMain (id, AirCode, AirName, AccCode, BSP, Script, Comment) VALUES "
                u"(1, 'ZZ', char(65279) || 'a' || char(65534) || 'b', '999', 1, 1, char(65535) || 'c')"_s});
        openRegister();
        const QString name = QChar(0xFEFF) + u"a"_s + QChar(0xFFFE) + u"b"_s;
        m_folder->store().airlines().first();
        QCOMPARE(m_folder->store().airlines().text(u"AirName"), name);

        const RunResult result = m_run->run({OutputKind::Workbook});
        QCOMPARE(result.status, RunResult::Status::Written);
        const ZipArchive workbook = readZip(readFile(result.filePath));
        QVERIFY2(workbook.problems.isEmpty(), qPrintable(workbook.problems.join(u'\n')));
        QByteArray texts;
        for (const ZipEntry& entry : workbook.entries)
            texts += entry.data;
        QVERIFY2(texts.contains("\xEF\xBB\xBF"
                                "a_xFFFE_b"),
                 texts.constData()); // a leading U+FEFF kept too
        QVERIFY2(texts.contains("_xFFFF_c"), texts.constData());
        QVERIFY(!texts.contains("\xEF\xBF\xBD")); // no replacement character
    }

private:
    void openRegister() {
        m_folder->openStore();
        m_run = std::make_unique<GenerationRun>(m_folder->store(), *m_options, m_observer);
    }

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<Options> m_options;
    RecordingObserver m_observer;
    std::unique_ptr<GenerationRun> m_run;
};

QTEST_GUILESS_MAIN(TestStoredValues)
#include "tst_storedvalues.moc"
