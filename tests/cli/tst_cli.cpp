#include "support/registerfixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include <sys/stat.h>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome runTool(const QStringList& arguments, const QString& workingFolder = {},
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARVEX_CLI_PATH), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

Outcome runCli(const QString& appDir, const QStringList& arguments, const QString& workingFolder = {}) {
    return runTool(QStringList{u"--app-dir"_s, appDir} + arguments, workingFolder);
}

// Every file and folder under the folder, with the content of each file.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(path, it.fileInfo().isFile() ? readFile(path) : QByteArray());
    }
    return entries;
}

// Every airline and condition of a register, one line each.
QStringList registerRows(const QString& databasePath) {
    QStringList rows;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"registerRows"_s);
        database.setDatabaseName(databasePath);
        if (!database.open())
            return {u"<unreadable> "_s + database.lastError().text()};
        QSqlQuery query(database);
        for (const QString& table : {u"tbMain"_s, u"tbComm"_s}) {
            if (!query.exec(u"SELECT * FROM %1 ORDER BY id"_s.arg(table)))
                return {u"<unreadable> "_s + query.lastError().text()};
            while (query.next()) {
                QStringList values;
                for (int column = 0; column < query.record().count(); ++column)
                    values << query.value(column).toString();
                rows << table + u": "_s + values.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(u"registerRows"_s);
    return rows;
}

// Runs one statement on the register, as the sqlite3 shell would.
void runSql(const QString& databasePath, const QString& statement) {
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"runSql"_s);
        database.setDatabaseName(databasePath);
        QSqlQuery query(database);
        if (!database.open() || !query.exec(statement))
            qFatal("%s", qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(u"runSql"_s);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void helpAndUsageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("help") << QStringList{u"--help"_s} << 0;
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{u"export"_s} << 2;
        QTest::newRow("unknown output") << QStringList{u"generate"_s, u"pdf"_s} << 2;
        QTest::newRow("option of another output") << QStringList{u"generate"_s, u"csv"_s, u"--remarks"_s} << 2;
        QTest::newRow("extra argument") << QStringList{u"generate"_s, u"all"_s, u"now"_s} << 2;
        QTest::newRow("day not a day") << QStringList{u"generate"_s, u"all"_s, u"--on"_s, u"31.02.2027"_s} << 2;
        QTest::newRow("day written the other way") << QStringList{u"check"_s, u"--on=2027-03-01"_s} << 2;
        QTest::newRow("day without a value") << QStringList{u"generate"_s, u"smartkey"_s, u"--on"_s} << 2;
        QTest::newRow("day for the list") << QStringList{u"generate"_s, u"csv"_s, u"--on"_s, u"01.03.2027"_s} << 2;
        QTest::newRow("report of what") << QStringList{u"report"_s, u"expired"_s} << 2;
        QTest::newRow("days not a number") << QStringList{u"report"_s, u"expiring"_s, u"--days"_s, u"two"_s} << 2;
    }
    void helpAndUsageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QTemporaryDir empty;
        const Outcome outcome = runCli(empty.path(), arguments);
        QCOMPARE(outcome.exitCode, exitCode);
        QVERIFY((exitCode == 0 ? outcome.out : outcome.err).contains(u"Usage:"_s));
        QVERIFY(QDir(empty.path()).isEmpty());
    }

    // Contracts and conditions ending within the days asked for, or by default within those of
    // the settings, those already ended included; one tab-separated line each, in code order.
    void reportListsWhatEndsSoon() {
        TempAppFolder folder;
        const QDate today = QDate::currentDate();
        AirlineRecord su = airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s);
        AirlineRecord ek = airline(u"EK"_s, u"Эмирейтс"_s, u"176"_s);
        insertRegister(folder.databasePath(),
                       {{su,
                         {inForce(percentCondition(u"скоро"_s, "5"), {}, today.addDays(10)),
                          inForce(percentCondition(u"не скоро"_s, "5"), {}, today.addDays(40)),
                          percentCondition(u"всегда"_s, "3")}},
                        {ek, {inForce(percentCondition(u"было"_s, "5"), {}, today.addDays(-400))}}});
        runSql(folder.databasePath(),
               u"UPDATE tbMain SET DogDate = '%1 00:00:00' WHERE AirCode = 'SU'"_s.arg(today.toString(Qt::ISODate)));

        const auto line = [](const QString& code, int airline, const QString& condition, const QString& what,
                             QDate lastDay) {
            return QStringList{code, QString::number(airline), condition, what, lastDay.toString(Qt::ISODate)}.join(
                u'\t');
        };
        const QString ended = line(u"EK"_s, 2, u"4"_s, u"condition"_s, today.addDays(-400));
        const QString contract = line(u"SU"_s, 1, {}, u"contract"_s, today);
        const QString soon = line(u"SU"_s, 1, u"1"_s, u"condition"_s, today.addDays(10));
        const QString later = line(u"SU"_s, 1, u"2"_s, u"condition"_s, today.addDays(40));

        const Outcome byDefault = runCli(folder.appDir(), {u"report"_s, u"expiring"_s});
        QCOMPARE(byDefault.exitCode, 0);
        QCOMPARE(byDefault.out.split(u'\n', Qt::SkipEmptyParts), (QStringList{ended, contract, soon}));
        QCOMPARE(runCli(folder.appDir(), {u"report"_s, u"expiring"_s, u"--days"_s, u"40"_s})
                     .out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{ended, contract, soon, later}));
        folder.writeOptions("[params]\r\nexpirydays=0\r\n");
        QCOMPARE(runCli(folder.appDir(), {u"report"_s, u"expiring"_s}).out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{ended, contract}));
    }

    // The built tool has neither DB/ nor options.ini beside it, as an installed one: without
    // --app-dir it works in the user's data folder, and --help says which folder is in use.
    void withoutAppDirTheUsersDataFolderIsUsed() {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home.path());
        environment.remove(u"XDG_DATA_HOME"_s);
        const QString folder = home.path() + u"/.local/share/tarvex/"_s;

        const Outcome help = runTool({u"--help"_s}, {}, environment);
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.endsWith(u"\nApp folder in use: %1 (the user's data folder)\n"_s.arg(folder)),
                 qPrintable(help.out));
        QVERIFY(QDir(home.path()).isEmpty());

        const Outcome created = runTool({u"init-db"_s}, {}, environment);
        QCOMPARE(created.exitCode, 0);
        QCOMPARE(created.out, folder + u"DB/Tarvex.mdb\n"_s);
        QVERIFY(QFileInfo(folder + u"Files"_s).isDir());

        const Outcome named = runCli(home.path() + u"/elsewhere"_s, {u"--help"_s});
        QVERIFY2(named.out.endsWith(u"\nApp folder in use: %1/elsewhere/ (named by --app-dir)\n"_s.arg(home.path())),
                 qPrintable(named.out));
    }

    void missingRegisterIsNamedAndNothingIsCreated() {
        QTemporaryDir empty;
        const Outcome outcome = runCli(empty.path(), {u"generate"_s, u"csv"_s});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.err.contains(empty.path() + u"/DB/Tarvex.mdb"_s), qPrintable(outcome.err));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(QDir(empty.path()).isEmpty());
    }

    void initDbMakesABelievableDemoRegisterOnce() {
        QTemporaryDir dir;
        const Outcome created = runCli(dir.path(), {u"init-db"_s, u"--demo"_s});
        QCOMPARE(created.exitCode, 0);
        const QString path = dir.path() + u"/DB/Tarvex.mdb"_s;
        QCOMPARE(created.out.trimmed(), path);
        const QByteArray before = readFile(path);

        const Outcome again = runCli(dir.path(), {u"init-db"_s});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains(path));
        QCOMPARE(readFile(path), before);

        RegisterStore data;
        data.open(dir.path() + u'/');
        TableCursor& airlines = data.airlines();
        QVERIFY(airlines.recordCount() >= 15 && airlines.recordCount() <= 30);
        int withoutConditions = 0;
        int withSeveral = 0;
        QSet<QString> currencies;
        bool percentFound = false;
        for (airlines.first(); !airlines.eof(); airlines.next()) {
            QVERIFY(QRegularExpression(u"^[A-Z]{2}$"_s).match(airlines.text(u"AirCode")).hasMatch());
            QVERIFY(QRegularExpression(u"[А-Яа-я]"_s).match(airlines.text(u"AirName")).hasMatch());
            const ConditionList conditions = data.conditionQuery().conditionsOf(airlines.value(u"id").toLongLong());
            withoutConditions += conditions.isEmpty();
            withSeveral += conditions.size() > 1;
            for (const ConditionRecord& condition : conditions) {
                percentFound |= condition.comPct.has_value();
                if (!condition.comVal.isEmpty())
                    currencies << condition.comVal;
            }
        }
        QCOMPARE(withoutConditions, 1);
        QVERIFY(withSeveral >= 3);
        QVERIFY(percentFound);
        QCOMPARE(currencies, (QSet<QString>{u"RUB"_s, u"EUR"_s, u"USD"_s}));
    }

    // Creators started at once on an empty folder, trial after trial: each time exactly one
    // makes the register, complete, and every other says that it exists.
    void creatorsStartedAtOnceLeaveOneCompleteRegister() {
        constexpr int kTrials = 8;
        constexpr int kCreators = 6;
        QTemporaryDir alone;
        QCOMPARE(runCli(alone.path(), {u"init-db"_s, u"--demo"_s}).exitCode, 0);
        const QStringList demoRows = registerRows(alone.path() + u"/DB/Tarvex.mdb"_s);
        QVERIFY2(demoRows.size() > 20 && demoRows.first().startsWith(u"tbMain: 1|"_s), qPrintable(demoRows.first()));

        for (int trial = 0; trial < kTrials; ++trial) {
            QTemporaryDir dir;
            const QString path = dir.path() + u"/DB/Tarvex.mdb"_s;
            std::vector<std::unique_ptr<QProcess>> creators;
            for (int i = 0; i < kCreators; ++i) {
                creators.push_back(std::make_unique<QProcess>());
                creators.back()->start(QStringLiteral(TARVEX_CLI_PATH),
                                       {u"--app-dir"_s, dir.path(), u"init-db"_s, u"--demo"_s});
            }
            for (const auto& creator : creators)
                QVERIFY(creator->waitForFinished(60000));
            int made = 0;
            for (const auto& creator : creators) {
                const QString out = QString::fromUtf8(creator->readAllStandardOutput());
                const QString err = QString::fromUtf8(creator->readAllStandardError());
                if (creator->exitCode() == 0) {
                    QCOMPARE(out, path + u'\n');
                    ++made;
                } else {
                    QCOMPARE(creator->exitCode(), 1);
                    QCOMPARE(err, u"Файл базы данных уже существует, он не будет перезаписан: %1\n"_s.arg(path));
                }
            }
            QCOMPARE(made, 1);
            QCOMPARE(QDir(dir.path() + u"/DB"_s).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{u"Tarvex.mdb"_s});
            QCOMPARE(registerRows(path), demoRows);
        }
    }

    void generatePrintsEachWrittenFile() {
        TempAppFolder folder;
        folder.writeOptions("[group]\r\n1=cbSFrmk\r\n2=cbCSV\r\n3=cbSK\r\n4=cbXL\r\n");
        {
            RegisterStore data;
            data.open(folder.appDir());
            addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        }
        const Outcome single = runCli(folder.appDir(), {u"generate"_s, u"smartkey"_s, u"--remarks"_s});
        QCOMPARE(single.exitCode, 0);
        QCOMPARE(single.out, folder.filesDir() + u"/Tarvex-Rules-with-remarks.txt\n"_s);

        const Outcome all = runCli(folder.appDir(), {u"generate"_s, u"all"_s});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(all.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{folder.filesDir() + u"/Tarvex-SmartFlow-with-remarks.txt"_s,
                              folder.filesDir() + u"/Tarvex_AviaList.csv"_s, folder.filesDir() + u"/Tarvex-Rules.txt"_s,
                              folder.filesDir() + u"/Tarvex_comissions.xlsx"_s}));

        const Outcome excel = runCli(folder.appDir(), {u"generate"_s, u"excel"_s, u"--no-fees"_s});
        QCOMPARE(excel.exitCode, 0);
        QCOMPARE(excel.out, folder.filesDir() + u"/Tarvex_comissions.xlsx\n"_s);
    }

    void damagedRegisterIsRefusedOnce() {
        TempAppFolder folder;
        folder.writeOptions("[group]\r\n1=cbSFrmk\r\n2=cbSK\r\n3=cbXLrmk\r\n");
        {
            RegisterStore data;
            data.open(folder.appDir());
            addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
            addAirline(data, airline(u"EK"_s, u"Эмирейтс"_s, u"176"_s), {sumCondition(u"эконом"_s, 20, u"USD"_s)});
        }
        misindexConditionOwners(folder.databasePath(), u"3 - ComId"_s);

        const Outcome outcome = runCli(folder.appDir(), {u"generate"_s, u"all"_s});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY2(outcome.err.startsWith(u"База данных %1 повреждена: "_s.arg(folder.databasePath())),
                 qPrintable(outcome.err));
        QCOMPARE(outcome.err.count(u"повреждена"_s), 1);
        QVERIFY(QDir(folder.filesDir()).isEmpty());
        // Nor are the findings of the check taken from it.
        const Outcome check = runCli(folder.appDir(), {u"check"_s});
        QCOMPARE(check.exitCode, 1);
        QVERIFY(check.out.isEmpty());
        QVERIFY2(check.err.startsWith(u"База данных %1 повреждена: "_s.arg(folder.databasePath())),
                 qPrintable(check.err));
    }

    void textCutToFitAWorkbookCellIsToldOnStandardError() {
        TempAppFolder folder;
        qint64 id = 0;
        {
            RegisterStore data;
            data.open(folder.appDir());
            id = addAirline(data, withComment(airline(u"SU"_s, u"Аэрофлот"_s), QString(40000, u'к')));
        }
        const Outcome outcome = runCli(folder.appDir(), {u"generate"_s, u"excel"_s});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, folder.filesDir() + u"/Tarvex_comissions.xlsx\n"_s);
        QCOMPARE(outcome.err,
                 u"Книга Excel: в ячейку помещается не больше 32767 знаков, поэтому от комментария "
                 u"авиакомпании SU (id %1) длиной 40000 знаков записано только начало, с «…» в конце.\n"_s.arg(id));
    }

    void readOnlyTargetFailsAndKeepsItsContent() {
        TempAppFolder folder;
        const QString target = folder.filesDir() + u"/Tarvex-SmartFlow.txt"_s;
        {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("kept");
        }
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
        const Outcome outcome = runCli(folder.appDir(), {u"generate"_s, u"smartflow"_s});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY(outcome.err.contains(u"Файл защищен от записи"_s));
        QVERIFY(outcome.out.isEmpty());
        QCOMPARE(readFile(target), QByteArray("kept"));
    }

    void settingsThatCannotBeReadStopTheCommand_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("output");
        QTest::newRow("folder, list") << u"folder"_s << u"csv"_s;
        QTest::newRow("folder, create all") << u"folder"_s << u"all"_s;
        QTest::newRow("pipe, script") << u"pipe"_s << u"smartflow"_s;
    }
    void settingsThatCannotBeReadStopTheCommand() {
        QFETCH(QString, kind);
        QFETCH(QString, output);
        TempAppFolder folder;
        const QString ini = folder.appDir() + u"options.ini"_s;
        if (kind == u"folder")
            QVERIFY(QDir().mkpath(ini));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0644), 0);

        const Outcome outcome = runCli(folder.appDir(), {u"generate"_s, output});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.err.startsWith(u"Не удалось прочитать файл настроек %1: "_s.arg(ini)),
                 qPrintable(outcome.err));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(QDir(folder.filesDir()).isEmpty());
    }

    // Windows Notepad's "Unicode" is UTF-16 with a byte-order mark: its tasks are run, not silently skipped.
    void settingsSavedAsUtf16AreRead() {
        TempAppFolder folder;
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        folder.writeOptions("\xFF\xFE" + QByteArray(utf16(u"[group]\r\n1=cbCSV\r\n"_s)));
        const Outcome outcome = runCli(folder.appDir(), {u"generate"_s, u"all"_s});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, folder.filesDir() + u"/Tarvex_AviaList.csv\n"_s);
    }

    void outputFolderIsTakenFromTheAppFolder_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("folder"); // under the app folder
        QTest::newRow("relative") << QByteArray("Выгрузка") << u"Выгрузка/"_s;
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void outputFolderIsTakenFromTheAppFolder() {
        QFETCH(QByteArray, path);
        QFETCH(QString, folder);
        TempAppFolder app;
        QVERIFY(QDir(app.appDir()).mkpath(folder.isEmpty() ? u"."_s : folder));
        app.writeOptions("[script]\r\npath=" + path + "\r\n");
        QTemporaryDir elsewhere;

        // The app folder given relative to the working folder, as a user would type it.
        const Outcome outcome = runCli(QDir(elsewhere.path()).relativeFilePath(app.appDir()),
                                       {u"generate"_s, u"smartkey"_s}, elsewhere.path());
        QCOMPARE(outcome.exitCode, 0);
        const QString written = app.appDir() + folder + u"Tarvex-Rules.txt"_s;
        QCOMPARE(outcome.out, written + u'\n');
        QVERIFY(QFileInfo(written).isFile());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void settingThatWouldWriteElsewhereIsRefused_data() {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("setting");
        QTest::newRow("slash in the script name")
            << QByteArray("[script]\r\nname=../Tarvex-Rules\r\n") << u"smartkey"_s << u"name раздела [script]"_s;
        QTest::newRow("slash in the workbook name")
            << QByteArray("[xls]\r\nname=sub/book\r\n") << u"excel"_s << u"name раздела [xls]"_s;
        QTest::newRow("NUL in the flow name")
            << QByteArray("[flow]\r\nname=Flow\0.sh\r\n", 23) << u"smartflow"_s << u"name раздела [flow]"_s;
        QTest::newRow("NUL in the workbook folder")
            << QByteArray("[xls]\r\npath=Files\0/x\r\n", 22) << u"excel"_s << u"path раздела [xls]"_s;
    }
    void settingThatWouldWriteElsewhereIsRefused() {
        QFETCH(QByteArray, options);
        QFETCH(QString, output);
        QFETCH(QString, setting);
        TempAppFolder folder;
        QVERIFY(QDir(folder.filesDir()).mkpath(u"sub"_s));
        folder.writeOptions(options);
        const QMap<QString, QByteArray> before = snapshot(folder.appDir());

        const Outcome outcome = runCli(folder.appDir(), {u"generate"_s, output});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.err.contains(u"Значение "_s + setting + u" в options.ini содержит"_s),
                 qPrintable(outcome.err));
        QVERIFY(outcome.out.isEmpty());
        QCOMPARE(snapshot(folder.appDir()), before);
    }

    // More findings than the tool holds before it sets them aside: every one is printed, in
    // the order of the airlines, and once in a run that writes two scripts they concern.
    void manyFindingsArePrintedWholeInOrderAndOnce() {
        TempAppFolder folder;
        folder.writeOptions("[group]\r\n1=cbSK\r\n2=cbSKrmk\r\n");
        constexpr int kAirlines = 4000;
        {
            RegisterStore data;
            data.open(folder.appDir());
            QSqlDatabase connection = data.connection();
            QVERIFY(connection.transaction());
            QSqlQuery airlines(connection);
            QSqlQuery conditions(connection);
            QVERIFY(airlines.prepare(u"INSERT INTO tbMain (id, AirCode, AirName, AccCode, Script) "
                                     "VALUES (?, 'SU', 'Аэрофлот', '555', 1)"_s));
            QVERIFY(conditions.prepare(u"INSERT INTO tbComm (ComId, ComCondition, ComPCT) VALUES (?, 'все', 5)"_s));
            for (int id = 1; id <= kAirlines; ++id) {
                airlines.addBindValue(id);
                conditions.addBindValue(id);
                QVERIFY(airlines.exec() && conditions.exec());
            }
            QVERIFY(connection.commit());
        }
        QStringList expected;
        for (int id = 2; id <= kAirlines; ++id)
            expected << u"warning\tsmartkey\tSU\t%1\t\tAirCode\tSU\tкод SU уже есть выше: в Smart Key выбрать можно "
                        u"только первую авиакомпанию с ним"_s.arg(id);

        const Outcome single = runCli(folder.appDir(), {u"generate"_s, u"smartkey"_s});
        QCOMPARE(single.exitCode, 0);
        QVERIFY(single.err.toUtf8().size() > 512 * 1024); // beyond what is held before it is set aside
        QCOMPARE(single.err.split(u'\n', Qt::SkipEmptyParts), expected);

        const Outcome all = runCli(folder.appDir(), {u"generate"_s, u"all"_s});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(all.out.count(u'\n'), 2);
        QCOMPARE(all.err.split(u'\n', Qt::SkipEmptyParts), expected);
    }

    void checkListsFindingsAndFailsOnErrors() {
        TempAppFolder folder;
        folder.writeOptions("[params]\r\nrateUSD=95\r\n");
        {
            RegisterStore data;
            data.open(folder.appDir());
            addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        }
        const Outcome clean = runCli(folder.appDir(), {u"check"_s});
        QCOMPARE(clean.exitCode, 0);
        QCOMPARE(clean.out, QString());

        qint64 emirates = 0;
        qint64 broken = 0;
        {
            RegisterStore data;
            data.open(folder.appDir());
            emirates = addAirline(data, airline(u"EK"_s, u"Эмирейтс"_s, u"176"_s),
                                  {sumCondition(u"эконом"_s, 20, u"USD"_s)}); // condition 2
            ConditionRecord remarks = percentCondition(u"все"_s, "3");
            remarks.remarks = u"RM <A"_s;
            broken = addAirline(data, airline(u"ZZ"_s, u"Зет"_s, u"999"_s), {remarks}); // condition 3
        }
        const QString warning = u"warning\tboth\tEK\t%1\t2\tValLen\t\tValLen 2 берёт 2 из 4 цифр суммы 20 USD в рублях "
                                u"(около 1900): в бронь уйдёт FM19A"_s.arg(emirates);
        const QString error = u"error\tsmartkey\tZZ\t%1\t3\tRemarks\tRM <A\tнепарная скобка < или > ломает команды "
                              u"Smart Key: скрипт Smart Key не будет записан"_s.arg(broken);
        const Outcome findings = runCli(folder.appDir(), {u"check"_s});
        QCOMPARE(findings.exitCode, 1);
        // Errors first, though the airline with the warning comes first in code order.
        QCOMPARE(findings.out.split(u'\n', Qt::SkipEmptyParts), (QStringList{error, warning}));
        QCOMPARE(runCli(folder.appDir(), {u"check"_s, u"--remarks"_s}).exitCode, 2);

        // The Smart Key with remarks would break: it is refused and the previous file stays.
        const QString smartKey = folder.filesDir() + u"/Tarvex-Rules-with-remarks.txt"_s;
        writeFile(smartKey, "previous");
        const Outcome refused = runCli(folder.appDir(), {u"generate"_s, u"smartkey"_s, u"--remarks"_s});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.out.isEmpty());
        QVERIFY2(refused.err.startsWith(u"Скрипт Smart Key не записан"_s), qPrintable(refused.err));
        QVERIFY2(refused.err.contains(u"Прежний файл "_s + smartKey + u" остался без изменений."_s),
                 qPrintable(refused.err));
        QVERIFY2(refused.err.contains(u'\n' + error + u'\n' + warning + u'\n'), qPrintable(refused.err));
        QCOMPARE(readFile(smartKey), QByteArray("previous"));

        // Written scripts report what concerns them on standard error.
        const Outcome written = runCli(folder.appDir(), {u"generate"_s, u"smartkey"_s});
        QCOMPARE(written.exitCode, 0);
        QCOMPARE(written.err, warning + u'\n');
        const Outcome flow = runCli(folder.appDir(), {u"generate"_s, u"smartflow"_s, u"--remarks"_s});
        QCOMPARE(flow.exitCode, 0);
        QCOMPARE(flow.err, warning + u'\n');

        // Create all prints each finding once, however many scripts it concerns; the refused
        // Smart Key does not stop the tasks after it.
        folder.writeOptions("[params]\r\nrateUSD=95\r\n[group]\r\n1=cbSF\r\n2=cbSFrmk\r\n3=cbSKrmk\r\n4=cbSK\r\n"
                            "5=cbCSV\r\n");
        const Outcome all = runCli(folder.appDir(), {u"generate"_s, u"all"_s});
        QCOMPARE(all.exitCode, 1);
        QCOMPARE(all.out.split(u'\n', Qt::SkipEmptyParts).size(), 4);
        QCOMPARE(all.err.count(warning), 1);
        QCOMPARE(all.err.count(error), 1);
        QCOMPARE(all.err.count(u"Скрипт Smart Key не записан"_s), 1);
    }

    // What a new user sees first is a model register: nothing to find, and Create all with
    // the demo settings writes each output once.
    void demoIsAModelRegister() {
        QTemporaryDir dir;
        QCOMPARE(runCli(dir.path(), {u"init-db"_s, u"--demo"_s}).exitCode, 0);
        QVERIFY(QFile::copy(QStringLiteral(TARVEX_DEMO_OPTIONS), dir.path() + u"/options.ini"_s));

        const Outcome check = runCli(dir.path(), {u"check"_s});
        QCOMPARE(check.exitCode, 0);
        QCOMPARE(check.out, QString());

        const Outcome all = runCli(dir.path(), {u"generate"_s, u"all"_s});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(all.err, QString());
        const QStringList written = all.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(QSet<QString>(written.begin(), written.end()).size(), written.size());
        QCOMPARE(written.size(), 6);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
