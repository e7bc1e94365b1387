#include "store/registercreation.h"
#include "store/registerintegrity.h"
#include "store/storeerror.h"
#include "support/registerfixture.h"
#include "support/unprivilegeduser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace std::chrono_literals;
using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

QString sqliteShell() {
    return QStandardPaths::findExecutable(u"sqlite3"_s);
}

QString runShell(const QString& database, const QStringList& statements) {
    QProcess shell;
    shell.start(sqliteShell(), QStringList{database} + statements);
    if (!shell.waitForFinished(30000) || shell.exitCode() != 0)
        qWarning() << shell.readAllStandardError();
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
}

QString openingError(const QString& appDir,
                     std::chrono::milliseconds busyTimeout = RegisterStore::kDefaultBusyTimeout) {
    RegisterStore store;
    store.setBusyTimeout(busyTimeout);
    try {
        store.open(appDir);
    } catch (const StoreError& error) {
        return error.message();
    }
    return {};
}

} // namespace

class TestDataModule : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (sqliteShell().isEmpty())
            QSKIP("the sqlite3 shell is not installed");
    }

    void registerIsSharedWithTheSqliteShell() {
        TempAppFolder folder;
        runShell(folder.databasePath(), {u"INSERT INTO tbComm (ComId, ComPCT) VALUES (1, 7.5)"_s,
                                         u"INSERT INTO tbComm (ComId, ComPCT, ComSum) VALUES (1, NULL, 10)"_s,
                                         u"INSERT INTO tbMain (AirCode, AirName) VALUES ('SU', NULL)"_s});
        RegisterStore store;
        store.open(folder.appDir());
        const ConditionList conditions = store.conditionQuery().conditionsOf(1);
        QCOMPARE(conditions.size(), 2);
        QCOMPARE(conditions[0].comPct->toText(), u"7.5"_s);
        QVERIFY(!conditions[0].comSum);
        QVERIFY(!conditions[1].comPct);
        QCOMPARE(*conditions[1].comSum, 10);
        QVERIFY(store.airlines().value(u"AirName").isNull());

        // And what the program writes reads back naturally in the shell.
        store.conditions().insert();
        store.conditions().setValue(u"ComId", 2);
        store.conditions().setValue(u"ComPCT", QVariant::fromValue(*Decimal4::parse(u"0.125")));
        store.conditions().post();
        QCOMPARE(runShell(folder.databasePath(), {u"SELECT ComPCT, typeof(ComSum) FROM tbComm WHERE ComId = 2"_s}),
                 u"0.125|null"_s);
    }

    void secondProcessWaitsForTheFirstOnesWrite() {
        TempAppFolder folder;
        RegisterStore store;
        store.open(folder.appDir());

        // Another process holds the write lock for a while; it leaves a mark once it has it.
        const QString mark = folder.appDir() + u"locked"_s;
        QProcess holder;
        holder.start(sqliteShell(),
                     {folder.databasePath(), u"BEGIN EXCLUSIVE"_s, u"INSERT INTO tbMain (AirCode) VALUES ('XX')"_s,
                      u".shell touch '%1' && sleep 1.5"_s.arg(mark), u"COMMIT"_s});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(mark), 10000);

        QElapsedTimer waited;
        waited.start();
        addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s)); // must wait, then succeed
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(waited.elapsed() > 200);
        QCOMPARE(runShell(folder.databasePath(), {u"SELECT group_concat(AirCode, ',') FROM tbMain"_s}), u"XX,SU"_s);
    }

    void openingRefusesWhatIsNotARegister_data() {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << QByteArray("missing") << u"не найден"_s;
        QTest::newRow("not a database") << QByteArray("garbage") << u"не является базой данных"_s;
        QTest::newRow("table missing") << QByteArray("DROP TABLE tbFee") << u"нет таблицы сервисных сборов (tbFee)"_s;
        QTest::newRow("column missing") << QByteArray("ALTER TABLE tbComm DROP COLUMN ValLen")
                                        << u"нет поля «ValLen»"_s;
        QTest::newRow("folder in place of the file") << QByteArray("folder") << u"найден каталог"_s;
        QTest::newRow("pipe in place of the file") << QByteArray("pipe") << u"найден не обычный файл"_s;
    }
    void openingRefusesWhatIsNotARegister() {
        QFETCH(QByteArray, setup);
        QFETCH(QString, expected);
        TempAppFolder folder;
        const QString path = folder.databasePath();
        QByteArray before;
        if (setup == "missing" || setup == "garbage" || setup == "folder" || setup == "pipe") {
            QFile::remove(path);
            if (setup == "folder")
                QDir().mkpath(path);
            if (setup == "pipe")
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0); // opening it would wait forever
            if (setup == "garbage") {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("this is a spreadsheet, not a register");
            }
        } else {
            runShell(path, {QString::fromLatin1(setup)});
        }
        if (QFileInfo(path).isFile()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            before = file.readAll();
        }

        const QString message = openingError(folder.appDir());
        QVERIFY2(message.contains(expected), qPrintable(message));
        QVERIFY2(message.contains(path), qPrintable(message));

        // Nothing was created or changed.
        if (setup == "missing") {
            QVERIFY(!QFileInfo::exists(path));
        } else if (!before.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), before);
        }
    }

    void registerLockedByAnotherProgramIsBusy() {
        TempAppFolder folder;
        // Another program holds the register's exclusive lock until told to let go; it leaves a mark once it has it.
        const QString mark = folder.appDir() + u"locked"_s;
        QProcess holder;
        holder.start(sqliteShell(), {folder.databasePath()});
        QVERIFY(holder.waitForStarted());
        holder.write(u"BEGIN EXCLUSIVE;\n.shell touch '%1'\n"_s.arg(mark).toUtf8());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(mark), 10000);

        const QString message = openingError(folder.appDir(), 50ms);
        holder.write("COMMIT;\n");
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(message,
                 u"Реестр занят другой программой, которая сейчас в него записывает; реестр %1 не открыт, "
                 u"запустите программу заново через минуту. (SQLite: database is locked)"_s.arg(folder.databasePath()));
        QCOMPARE(openingError(folder.appDir(), 50ms), QString()); // free again
    }

    void interruptedWriteWithoutWritePermissionSaysSo_data() {
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("folderWritable");
        QTest::newRow("neither may be written") << false << false;
        QTest::newRow("the file may not be written") << false << true;
        QTest::newRow("the journal may not be deleted") << true << false;
    }
    void interruptedWriteWithoutWritePermissionSaysSo() {
        QFETCH(bool, fileWritable);
        QFETCH(bool, folderWritable);
        TempAppFolder folder;
        const QString path = folder.databasePath();
        const QString journal = path + u"-journal"_s;
        // A writer dies half way: with a one-page cache its changes already stand in the file, and the journal
        // beside it holds what must be put back.
        QProcess writer;
        writer.start(sqliteShell(), {path});
        QVERIFY(writer.waitForStarted());
        writer.write("PRAGMA cache_size = 1;\nBEGIN;\n"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50)\n"
                     "  INSERT INTO tbMain (AirCode, Comment) SELECT 'XX', randomblob(3000) FROM n;\n"
                     ".shell kill -9 $PPID\n");
        writer.closeWriteChannel();
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        QVERIFY(QFileInfo(journal).size() > 0);

        // The register belongs to someone else, who lets this user write only part of it.
        const QString databaseFolder = QFileInfo(path).absolutePath();
        const auto readable = QFile::ReadOwner | QFile::ReadOther;
        const auto writable = readable | QFile::WriteOwner | QFile::WriteOther;
        const auto searchable = readable | QFile::ExeOwner | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(folder.appDir(), searchable | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(databaseFolder, folderWritable ? searchable | writable : searchable));
        QVERIFY(QFile::setPermissions(path, fileWritable ? writable : readable));
        QVERIFY(QFile::setPermissions(journal, fileWritable ? writable : readable));
        QString message;
        {
            const testing::UnprivilegedUser user;
            QVERIFY(user.isUnprivileged());
            message = openingError(folder.appDir());
        }
        QVERIFY2(message.startsWith(
                     u"В базе данных %1 осталась прерванная запись (журнал Tarvex.mdb-journal), и её "
                     u"нельзя откатить: нужны права на запись в файл базы данных и в его каталог"_s.arg(path)),
                 qPrintable(message));

        // With the permissions back, the write is rolled back and the register is as it was before it.
        QVERIFY(QFile::setPermissions(databaseFolder, searchable | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(path, readable | QFile::WriteOwner));
        RegisterStore store;
        store.open(folder.appDir());
        QCOMPARE(store.airlines().recordCount(), 0);
        QVERIFY(!QFileInfo::exists(journal));
    }

    void creatingRefusesToOverwrite() {
        TempAppFolder folder;
        {
            RegisterStore store;
            store.open(folder.appDir());
            addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s));
        }
        try {
            createRegister(folder.databasePath());
            QFAIL("an existing register was created again");
        } catch (const StoreError& error) {
            QCOMPARE(error.message(),
                     u"Файл базы данных уже существует, он не будет перезаписан: "_s + folder.databasePath());
        }
        RegisterStore store;
        store.open(folder.appDir());
        QCOMPARE(store.airlines().recordCount(), 1);
    }

    // A creator that loses the race to another leaves the other's register as it made it,
    // and nothing of its own beside it.
    void creatorThatLosesARaceKeepsTheWinnersRegister() {
        QTemporaryDir dir;
        const QString path = RegisterStore::databasePath(dir.path() + u'/');
        const auto addAirlineNamed = [](const QString& code) {
            return [code](RegisterStore& store) { addAirline(store, airline(code, u"Авиакомпания"_s)); };
        };
        // The other creator finishes while this one is still filling its register.
        const auto fillWhileAnotherWins = [&](RegisterStore& store) {
            addAirlineNamed(u"ZZ"_s)(store);
            createRegister(path, addAirlineNamed(u"SU"_s));
        };
        QVERIFY_THROWS_EXCEPTION(StoreError, createRegister(path, fillWhileAnotherWins));

        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"Tarvex.mdb"_s});
        RegisterStore store;
        store.open(dir.path() + u'/');
        QCOMPARE(store.airlines().recordCount(), 1);
        QCOMPARE(store.airlines().text(u"AirCode"), u"SU"_s);
        // Readable by others like any database SQLite makes, not private to the creating process.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0644 & ~mask);
    }

    void failedFillLeavesNoRegister() {
        QTemporaryDir dir;
        const QString path = RegisterStore::databasePath(dir.path() + u'/');
        const auto failingFill = [](RegisterStore& store) {
            addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s));
            throw StoreError(u"диск полон"_s);
        };
        try {
            createRegister(path, failingFill);
            QFAIL("a failed register was put in place");
        } catch (const StoreError& error) {
            QCOMPARE(error.message(), u"Не удалось создать базу данных %1: диск полон"_s.arg(path));
        }
        QVERIFY(QDir(QFileInfo(path).path()).isEmpty());
    }

    // A page that no longer holds what SQLite wrote, found by a store that was opened while
    // the file was whole: the check calls it damage and says how to repair it.
    void brokenPageIsDamage() {
        TempAppFolder folder;
        RegisterStore store;
        store.open(folder.appDir());
        addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"все"_s, "5")});
        requireIntactRegister(store.connection());

        QSqlQuery query(store.connection());
        QVERIFY(query.exec(u"SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_schema "
                           "WHERE name = 'tbComm'"_s) &&
                query.next());
        const qint64 rootPage = query.value(0).toLongLong();
        const qint64 pageSize = query.value(1).toLongLong();
        query.finish();
        QFile file(folder.databasePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek((rootPage - 1) * pageSize));
        QCOMPARE(file.write(QByteArray(pageSize, '\xff')), pageSize);
        // The file's change counter moves, as for any write, so the store reads the file again.
        QVERIFY(file.seek(24));
        QByteArray counter = file.read(4);
        counter[3] = char(counter[3] + 1);
        QVERIFY(file.seek(24));
        QCOMPARE(file.write(counter), 4);
        file.close();

        try {
            requireIntactRegister(store.connection());
            QFAIL("a broken page passed the check");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().startsWith(u"База данных %1 повреждена: "_s.arg(folder.databasePath())),
                     qPrintable(error.message()));
            QVERIFY2(error.message().contains(u".recover"_s), qPrintable(error.message()));
        }
    }

    // A file found intact is not read whole again while it is unchanged, but any write to
    // it, even one that keeps its size and SQLite's change counter, has it checked again.
    void rememberedCheckTrustsOnlyTheUnchangedFile() {
        QTemporaryDir cache;
        const QByteArray previousCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        const auto restore = qScopeGuard([&] { qputenv("XDG_CACHE_HOME", previousCache); });
        TempAppFolder folder;
        qint64 rootPage = 0;
        qint64 pageSize = 0;
        {
            RegisterStore store;
            store.open(folder.appDir());
            addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"все"_s, "5")});
            QSqlQuery query(store.connection());
            QVERIFY(query.exec(u"SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_schema "
                               "WHERE name = 'tbComm'"_s) &&
                    query.next());
            rootPage = query.value(0).toLongLong();
            pageSize = query.value(1).toLongLong();
        }
        const QString remembered = cache.path() + u"/tarvex/checked-registers"_s;
        {
            RegisterStore store;
            store.open(folder.appDir());
            requireIntactRegister(store.connection());
            // A file written moments ago could still change within its file system's time tick.
            QVERIFY(QDir(remembered).isEmpty());
            QTest::qSleep(2100);
            requireIntactRegister(store.connection());
            QCOMPARE(QDir(remembered).entryList(QDir::Files).size(), 1);
            requireIntactRegister(store.connection()); // trusted now
        }

        // Another program breaks a page in place: same size, same change counter.
        QFile file(folder.databasePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek((rootPage - 1) * pageSize));
        QCOMPARE(file.write(QByteArray(pageSize, '\xff')), pageSize);
        file.close();

        RegisterStore store;
        store.open(folder.appDir(), RegisterStore::Use::ForOutputs); // reads no rows
        try {
            requireIntactRegister(store.connection());
            QFAIL("a file changed since its check was trusted");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().startsWith(u"База данных %1 повреждена: "_s.arg(folder.databasePath())),
                     qPrintable(error.message()));
        }
    }

    // An airline's conditions and fee rows go only together with it: when its own row
    // cannot be deleted, the whole deletion is undone, in the file and in the cursors.
    void failedDeletionRollsBack() {
        TempAppFolder folder;
        RegisterStore store;
        store.open(folder.appDir());
        const qint64 id = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s),
                                     {percentCondition(u"a"_s, "5"), percentCondition(u"b"_s, "6")});
        store.fees().insert();
        store.fees().setValue(u"FeeId", id);
        store.fees().setValue(u"FeeCondition", u"сбор"_s);
        store.fees().post();
        QSqlQuery sql(store.connection());
        // Refuses only the last of the three deletions, after the other two are done.
        QVERIFY(sql.exec(u"CREATE TRIGGER keepAirlines BEFORE DELETE ON tbMain "
                         "BEGIN SELECT RAISE(ABORT, 'airlines are kept'); END"_s));
        const auto rowsOf = [&](const QString& table, const QString& column) {
            QSqlQuery count(store.connection());
            count.exec(u"SELECT count(*) FROM %1 WHERE %2 = %3"_s.arg(table, column).arg(id));
            return count.next() ? count.value(0).toInt() : -1;
        };

        QVERIFY_THROWS_EXCEPTION(StoreError, store.deleteCurrentAirline());
        QCOMPARE(rowsOf(u"tbMain"_s, u"id"_s), 1);
        QCOMPARE(rowsOf(u"tbComm"_s, u"ComId"_s), 2);
        QCOMPARE(rowsOf(u"tbFee"_s, u"FeeId"_s), 1);
        QCOMPARE(store.airlines().recordCount(), 1);
        QCOMPARE(store.conditions().recordCount(), 2);
        QCOMPARE(store.fees().recordCount(), 1);

        // Nothing is left half done: without the trigger the same deletion succeeds.
        QVERIFY(sql.exec(u"DROP TRIGGER keepAirlines"_s));
        store.deleteCurrentAirline();
        QCOMPARE(rowsOf(u"tbComm"_s, u"ComId"_s), 0);
        QCOMPARE(rowsOf(u"tbFee"_s, u"FeeId"_s), 0);
        QCOMPARE(store.airlines().recordCount(), 0);
        QCOMPARE(store.conditions().recordCount(), 0);
        QCOMPARE(store.fees().recordCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_registerstore.moc"
