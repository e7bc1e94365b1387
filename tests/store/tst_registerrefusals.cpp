// What the register says when SQLite refuses, met through real refusals: another connection's
// lock, a full file, a damaged index, a file that may not be written.

#include "support/registerfixture.h"
#include "support/registerlock.h"
#include "support/unprivilegeduser.h"

#include "store/enginerefusal.h"
#include "store/registerstore.h"
#include "store/storeerror.h"
#include "store/summaryrebuild.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <functional>
#include <memory>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

namespace {

const QString kBusy = u"Реестр занят другой программой, которая сейчас в него записывает; "_s;
const QString kLocked = u" (SQLite: database is locked)"_s;
const QString kDamaged = u"Файл реестра повреждён; "_s;
const QString kRecover = u". Восстановите файл из резервной копии или командой .recover программы sqlite3. "
                         u"(SQLite: database disk image is malformed)"_s;

// Makes the index of the conditions' airline ids unreadable, as a damaged disk does: the
// type byte of its first page is one no page has.
void damageConditionIndex(const QString& databasePath) {
    int rootPage = 0;
    int pageSize = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"damage"_s);
        db.setDatabaseName(databasePath);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(u"SELECT rootpage FROM sqlite_schema WHERE name = 'tbComm_ComId'"_s) && query.next());
        rootPage = query.value(0).toInt();
        QVERIFY(query.exec(u"PRAGMA page_size"_s) && query.next());
        pageSize = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(u"damage"_s);
    QFile file(databasePath);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(qint64(rootPage - 1) * pageSize));
    QCOMPARE(file.write("\x00", 1), 1);
}

// Lets the register file grow by no page: the next write that needs one finds it full.
void fillRegister(RegisterStore& store) {
    QSqlQuery query(store.connection());
    QVERIFY(query.exec(u"PRAGMA page_count"_s) && query.next());
    const int pages = query.value(0).toInt();
    QVERIFY(query.exec(u"PRAGMA max_page_count = %1"_s.arg(pages)));
}

using Operation = std::function<void(RegisterStore&, qint64 airlineId)>;

// What each operation of the store leaves when it is refused.
struct Refused {
    Operation operation;
    std::function<void(RegisterStore&)> keeps;
};

const QMap<QString, Refused>& operations() {
    static const QMap<QString, Refused> all = {
        {u"store a new airline"_s,
         {[](RegisterStore& store, qint64) {
              store.airlines().insert();
              store.airlines().setValue(u"AirCode", u"S7"_s);
              store.airlines().post();
          },
          [](RegisterStore& store) {
              QCOMPARE(store.airlines().state(), TableCursor::State::Insert);
              QCOMPARE(store.airlines().text(u"AirCode"), u"S7"_s);
          }}},
        {u"store a long comment"_s,
         {[](RegisterStore& store, qint64) {
              store.airlines().edit();
              store.airlines().setValue(u"Comment", QString(200000, u'ж'));
              store.airlines().post();
          },
          [](RegisterStore& store) {
              QCOMPARE(store.airlines().state(), TableCursor::State::Edit);
              QCOMPARE(store.airlines().text(u"Comment").size(), 200000);
          }}},
        {u"save the airline with its summary"_s,
         {[](RegisterStore& store, qint64 airlineId) {
              store.airlines().edit();
              store.airlines().setValue(u"AirName", u"Аэрофлот ПАО"_s);
              rebuildCommissionSummary(store, airlineId);
          },
          [](RegisterStore& store) {
              QCOMPARE(store.airlines().state(), TableCursor::State::Edit);
              QCOMPARE(store.airlines().text(u"AirName"), u"Аэрофлот ПАО"_s);
          }}},
        {u"delete the airline"_s,
         {[](RegisterStore& store, qint64) { store.deleteCurrentAirline(); },
          [](RegisterStore& store) {
              QCOMPARE(store.airlines().recordCount(), 1);
              QCOMPARE(store.conditions().recordCount(), 2);
          }}},
        {u"delete a condition"_s,
         {[](RegisterStore& store, qint64) { store.conditions().remove(); },
          [](RegisterStore& store) { QCOMPARE(store.conditions().recordCount(), 2); }}},
        {u"read the conditions"_s,
         {[](RegisterStore& store, qint64 airlineId) { store.conditionQuery().conditionsOf(airlineId); },
          [](RegisterStore&) {}}},
        {u"refresh the airlines"_s,
         {[](RegisterStore& store, qint64) { store.airlines().refresh(); },
          [](RegisterStore& store) { QCOMPARE(store.airlines().recordCount(), 1); }}},
        {u"make ready for a change"_s,
         {[](RegisterStore& store, qint64) { store.waitUntilFreeForWriting(); }, [](RegisterStore&) {}}},
    };
    return all;
}

} // namespace

class RegisterRefusalsTest : public QObject {
    Q_OBJECT

private slots:
    void refusalSaysWhatHappenedAndWhatIsKept_data() {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("message");
        const QString later = u", повторите через минуту."_s;
        QTest::newRow("write lock, new airline")
            << u"write lock"_s << u"store a new airline"_s << kBusy + u"изменения не сохранены"_s + later + kLocked;
        QTest::newRow("write lock, summary") << u"write lock"_s << u"save the airline with its summary"_s
                                             << kBusy + u"изменения не сохранены"_s + later + kLocked;
        QTest::newRow("write lock, airline deletion")
            << u"write lock"_s << u"delete the airline"_s << kBusy + u"ничего не удалено"_s + later + kLocked;
        QTest::newRow("write lock, condition deletion")
            << u"write lock"_s << u"delete a condition"_s << kBusy + u"ничего не удалено"_s + later + kLocked;
        QTest::newRow("write lock, ready for a change")
            << u"write lock"_s << u"make ready for a change"_s << kBusy + u"изменение не начато"_s + later + kLocked;
        // A save whose first step reads says that the save failed, not the reading.
        QTest::newRow("exclusive lock, summary") << u"exclusive lock"_s << u"save the airline with its summary"_s
                                                 << kBusy + u"изменения не сохранены"_s + later + kLocked;
        QTest::newRow("exclusive lock, conditions")
            << u"exclusive lock"_s << u"read the conditions"_s
            << kBusy + u"не удалось прочитать условия авиакомпании (tbComm)"_s + later + kLocked;
        QTest::newRow("exclusive lock, refresh")
            << u"exclusive lock"_s << u"refresh the airlines"_s
            << kBusy + u"не удалось прочитать таблицу авиакомпаний (tbMain)"_s + later + kLocked;
        QTest::newRow("disk full") << u"disk full"_s << u"store a long comment"_s
                                   << u"На диске не хватает места для реестра; изменения не сохранены. Освободите "
                                      u"место на диске и повторите. (SQLite: database or disk is full)"_s;
        QTest::newRow("damaged, conditions")
            << u"damaged index"_s << u"read the conditions"_s
            << kDamaged + u"не удалось прочитать условия авиакомпании (tbComm)"_s + kRecover;
        QTest::newRow("damaged, summary") << u"damaged index"_s << u"save the airline with its summary"_s
                                          << kDamaged + u"изменения не сохранены"_s + kRecover;
        QTest::newRow("read-only, new airline")
            << u"write-protected file"_s << u"store a new airline"_s
            << u"Реестр открыт только для чтения: нет права записи в его файл или в папку, где он лежит; изменения "
               u"не сохранены. Права на файл и папку реестра может дать администратор компьютера. (SQLite: attempt "
               u"to write a readonly database)"_s;
    }
    void refusalSaysWhatHappenedAndWhatIsKept() {
        QFETCH(QString, condition);
        QFETCH(QString, operation);
        QFETCH(QString, message);
        TempAppFolder folder;
        qint64 airlineId = 0;
        {
            RegisterStore store;
            store.open(folder.appDir());
            airlineId = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s),
                                   {percentCondition(u"a"_s, "5"), percentCondition(u"b"_s, "6")});
        }
        if (condition == u"damaged index"_s)
            damageConditionIndex(folder.databasePath());
        if (condition == u"write-protected file"_s)
            QVERIFY(QFile::setPermissions(folder.databasePath(), QFile::ReadOwner | QFile::ReadGroup));
        const QByteArray before = readFile(folder.databasePath());

        RegisterStore store;
        store.setBusyTimeout(50ms);
        store.open(folder.appDir());
        store.airlines().first();
        store.conditions().first();
        std::unique_ptr<RegisterLock> lock;
        if (condition.endsWith(u"lock"_s)) {
            const auto kind = condition == u"write lock"_s ? RegisterLock::Kind::Write : RegisterLock::Kind::Exclusive;
            lock = std::make_unique<RegisterLock>(folder.databasePath(), kind);
            QVERIFY(lock->isHeld());
        }
        if (condition == u"disk full"_s)
            fillRegister(store);

        const Refused& refused = operations()[operation];
        try {
            refused.operation(store, airlineId);
            QFAIL("the operation was not refused");
        } catch (const StoreError& error) {
            QCOMPARE(error.message(), message);
        }
        refused.keeps(store);
        if (lock)
            lock->release();
        QCOMPARE(readFile(folder.databasePath()), before);
    }

    // The engine's own result codes, extended ones among them, decide the cause.
    void extendedResultCodesKeepTheirCause_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<RefusalCause>("cause");
        QTest::newRow("busy snapshot") << 517 << RefusalCause::Busy;
        QTest::newRow("locked shared cache") << 262 << RefusalCause::Busy;
        QTest::newRow("read-only folder") << 1544 << RefusalCause::ReadOnly;
        QTest::newRow("read-only, journal not rolled back") << 776 << RefusalCause::ReadOnly;
        QTest::newRow("cannot open") << 14 << RefusalCause::NoAccess;
        QTest::newRow("full") << 13 << RefusalCause::DiskFull;
        QTest::newRow("corrupt index") << 779 << RefusalCause::Damaged;
        QTest::newRow("not a database") << 26 << RefusalCause::Damaged;
        QTest::newRow("write error") << 778 << RefusalCause::DiskError;
        QTest::newRow("constraint") << 19 << RefusalCause::Other;
    }
    void extendedResultCodesKeepTheirCause() {
        QFETCH(int, code);
        QFETCH(RefusalCause, cause);
        QCOMPARE(refusalCause(code), cause);
    }

    void readOnlyRegisterIsFoundAtOpening_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason"); // empty: the register may be changed
        QTest::newRow("writable") << u"writable"_s << QString();
        QTest::newRow("write-protected file") << u"write-protected file"_s << u"файл %1 защищён от записи"_s;
        QTest::newRow("file the user may not write") << u"file not writable"_s << u"нет права записи в файл %1"_s;
        QTest::newRow("folder the user may not write")
            << u"folder not writable"_s
            << u"нет права записи в папку %2, где при каждом изменении создаётся журнал "
               u"реестра"_s;
    }
    void readOnlyRegisterIsFoundAtOpening() {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        TempAppFolder folder;
        const QString path = folder.databasePath();
        const QString databaseFolder = QFileInfo(path).absolutePath();
        {
            RegisterStore store;
            store.open(folder.appDir());
            addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s));
        }
        // The register belongs to someone else, who lets this user write only part of it.
        const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto searchable = readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        const auto writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        QVERIFY(QFile::setPermissions(folder.appDir(), searchable | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(databaseFolder,
                                      setup == u"folder not writable"_s ? searchable : searchable | writable));
        QVERIFY(QFile::setPermissions(path, setup == u"write-protected file"_s ? readable
                                            : setup == u"file not writable"_s  ? readable | QFile::WriteOwner
                                                                               : readable | writable));
        const QByteArray before = readFile(path);

        RegisterStore store;
        {
            const UnprivilegedUser user;
            QVERIFY(user.isUnprivileged());
            store.open(folder.appDir());
        }
        QCOMPARE(store.readOnlyReason(), QString(reason).replace(u"%1"_s, path).replace(u"%2"_s, databaseFolder));
        QCOMPARE(store.isReadOnly(), !reason.isEmpty());
        QCOMPARE(store.airlines().recordCount(), 1); // reading goes on
        if (store.isReadOnly()) {
            // Nothing writes a register that is only read, not even a user SQLite would let write.
            store.airlines().edit();
            store.airlines().setValue(u"AirName", u"Аэрофлот ПАО"_s);
            try {
                store.airlines().post();
                QFAIL("the change was stored");
            } catch (const StoreError& error) {
                QVERIFY2(error.message().startsWith(u"Реестр открыт только для чтения"_s), qPrintable(error.message()));
            }
            QCOMPARE(readFile(path), before);
        }
        QVERIFY(QFile::setPermissions(databaseFolder, searchable | QFile::WriteOwner));
    }

    // Marks of what is typed read the register without waiting: a lock never holds up the
    // typing. Every other statement waits for the lock as before.
    void noBusyWaitFailsAtOnceAndThenWaitsAgain() {
        TempAppFolder folder;
        RegisterStore store;
        store.setBusyTimeout(60s);
        store.open(folder.appDir());
        const qint64 id = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"a"_s, "5")});
        RegisterLock lock(folder.databasePath(), RegisterLock::Kind::Exclusive);
        QVERIFY(lock.isHeld());
        QElapsedTimer waited;
        waited.start();
        {
            const RegisterStore::NoBusyWait typing(store);
            QVERIFY_THROWS_EXCEPTION(StoreError, store.conditionQuery().conditionsOf(id));
        }
        QVERIFY(waited.elapsed() < 30000);
        lock.release();

        // The wait is back: a read waits out another program's write.
        store.setBusyTimeout(60s);
        QProcess holder;
        const QString mark = folder.appDir() + u"locked"_s;
        holder.start(u"sqlite3"_s, {folder.databasePath(), u"BEGIN EXCLUSIVE"_s,
                                    u".shell touch '%1' && sleep 1"_s.arg(mark), u"COMMIT"_s});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(mark), 10000);
        QCOMPARE(store.conditionQuery().conditionsOf(id).size(), 1);
        QVERIFY(holder.waitForFinished(30000));
    }

    // Another copy of the program that only reads, as a generation does, keeps no editor from opening.
    void readersDoNotHoldUpTheReadinessForAChange() {
        TempAppFolder folder;
        RegisterStore store;
        store.setBusyTimeout(50ms);
        store.open(folder.appDir());
        RegisterLock reader(folder.databasePath(), RegisterLock::Kind::Read);
        QVERIFY(reader.isHeld());
        store.waitUntilFreeForWriting();
        RegisterLock writer(folder.databasePath(), RegisterLock::Kind::Write);
        QVERIFY(writer.isHeld()); // nothing of the readiness was kept
    }
};

QTEST_GUILESS_MAIN(RegisterRefusalsTest)
#include "tst_registerrefusals.moc"
