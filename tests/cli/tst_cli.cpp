#include "support/registerfixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

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
            const ConditionList conditions = data.sharedQuery().conditionsOf(airlines.value(u"id").toLongLong());
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
        const QString warning = u"warning\tboth\tEK\t%1\t2\tValLen\t\tValLen 2 captures 2 of the 4 digits of "
                                u"20 USD in roubles"_s.arg(emirates);
        const QString error = u"error\tsmartkey\tZZ\t%1\t3\tRemarks\tRM <A\tunpaired < or > breaks the Smart "
                              u"Key's brackets: the Smart Key is not written"_s.arg(broken);
        const Outcome findings = runCli(folder.appDir(), {u"check"_s});
        QCOMPARE(findings.exitCode, 1);
        QCOMPARE(findings.out.split(u'\n', Qt::SkipEmptyParts), (QStringList{warning, error}));
        QCOMPARE(runCli(folder.appDir(), {u"check"_s, u"--remarks"_s}).exitCode, 2);

        // The Smart Key with remarks would break: it is refused and the previous file stays.
        const QString smartKey = folder.filesDir() + u"/Tarvex-Rules-with-remarks.txt"_s;
        writeFile(smartKey, "previous");
        const Outcome refused = runCli(folder.appDir(), {u"generate"_s, u"smartkey"_s, u"--remarks"_s});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.out.isEmpty());
        QVERIFY2(refused.err.contains(error), qPrintable(refused.err));
        QCOMPARE(readFile(smartKey), QByteArray("previous"));

        // Written scripts report what concerns them on standard error.
        const Outcome written = runCli(folder.appDir(), {u"generate"_s, u"smartkey"_s});
        QCOMPARE(written.exitCode, 0);
        QCOMPARE(written.err, warning + u'\n');
        const Outcome flow = runCli(folder.appDir(), {u"generate"_s, u"smartflow"_s, u"--remarks"_s});
        QCOMPARE(flow.exitCode, 0);
        QCOMPARE(flow.err, warning + u'\n');
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
