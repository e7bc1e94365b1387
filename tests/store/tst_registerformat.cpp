#include "store/registerstore.h"
#include "store/storeerror.h"
#include "support/registerfixture.h"
#include "support/unprivilegeduser.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

// A register as the program wrote it before conditions had days in force: no ComFrom,
// ComTill, and no format number.
const QStringList kFormatZero{
    u"CREATE TABLE tbMain (id INTEGER PRIMARY KEY AUTOINCREMENT, AirCode TEXT, AirName TEXT, Commision TEXT, "
    u"Fee TEXT, Comment TEXT, AccCode TEXT, BSP INTEGER NOT NULL DEFAULT 0, Dog TEXT, DogDate TEXT, "
    u"ContrAgent TEXT, Script INTEGER NOT NULL DEFAULT 0)"_s,
    u"CREATE TABLE tbComm (id INTEGER PRIMARY KEY AUTOINCREMENT, ComId INTEGER, ComCondition TEXT, ComPCT NUMERIC, "
    u"ComSum INTEGER, ComVal TEXT, Remarks TEXT, ValLen INTEGER, Fee TEXT)"_s,
    u"CREATE TABLE tbFee (id INTEGER PRIMARY KEY AUTOINCREMENT, FeeId INTEGER, FeeCondition TEXT, FeePCT NUMERIC, "
    u"FeeSumm INTEGER, FeeVal TEXT)"_s,
    u"CREATE INDEX tbComm_ComId ON tbComm (ComId)"_s,
    u"CREATE INDEX tbFee_FeeId ON tbFee (FeeId)"_s,
    u"INSERT INTO tbMain (AirCode, AirName, Comment, AccCode, BSP, Dog, DogDate, Script) "
    u"VALUES ('SU', 'Аэрофлот', 'звонить', '555', 1, 'Д-1', '2027-01-31 00:00:00', 1)"_s,
    u"INSERT INTO tbComm (ComId, ComCondition, ComPCT, Fee) VALUES (1, 'Эконом', 7.5, '300')"_s,
    u"INSERT INTO tbComm (ComId, ComCondition, ComSum, ComVal, ValLen) VALUES (1, 'Бизнес', 20, 'USD', 4)"_s,
    u"INSERT INTO tbFee (FeeId, FeeCondition, FeePCT) VALUES (1, 'сбор', 1.5)"_s,
};

// Runs statements on the file through a connection of its own; what the last one read, a row a line.
QStringList sql(const QString& path, const QStringList& statements) {
    const QString name = u"format-test"_s;
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery query(db);
        for (const QString& statement : statements) {
            if (!query.exec(statement))
                qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        }
        while (query.next()) {
            QStringList values;
            for (int c = 0; c < query.record().count(); ++c)
                values << (query.isNull(c) ? u"NULL"_s : query.value(c).toString());
            rows << values.join(u'|');
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

// Everything a format step must leave as it was: the rows of the old columns and every
// object of the schema but tbComm's own definition.
QStringList contentOfFormatZero(const QString& path) {
    return sql(path, {u"SELECT type, name, sql FROM sqlite_master WHERE name <> 'tbComm' ORDER BY name"_s}) +
           sql(path, {u"SELECT * FROM tbMain ORDER BY id"_s}) +
           sql(path, {u"SELECT id, ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee "
                      u"FROM tbComm ORDER BY id"_s}) +
           sql(path, {u"SELECT * FROM tbFee ORDER BY id"_s}) + sql(path, {u"SELECT seq FROM sqlite_sequence"_s});
}

QString openingError(const QString& appDir) {
    try {
        RegisterStore store;
        store.open(appDir);
    } catch (const StoreError& error) {
        return error.message();
    }
    return {};
}

} // namespace

class RegisterFormatTest : public QObject {
    Q_OBJECT
private slots:
    void olderRegisterGainsTheNewColumnsOnce() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"DB"_s));
        const QString appDir = dir.path() + u'/';
        const QString path = RegisterStore::databasePath(appDir);
        sql(path, kFormatZero);
        const QStringList before = contentOfFormatZero(path);
        {
            RegisterStore store;
            store.open(appDir);
            QCOMPARE(store.format(), kRegisterFormat);
            QCOMPARE(store.conditions().recordCount(), 2);
            QVERIFY(store.conditions().value(u"ComTill").isNull());
        }
        QCOMPARE(sql(path, {u"PRAGMA user_version"_s}), QStringList{u"1"_s});
        QCOMPARE(sql(path, {u"SELECT name FROM pragma_table_info('tbComm') ORDER BY cid"_s}).mid(9),
                 (QStringList{u"ComFrom"_s, u"ComTill"_s}));
        QCOMPARE(sql(path, {u"SELECT count(*) FROM tbComm WHERE ComFrom IS NOT NULL OR ComTill IS NOT NULL"_s}),
                 QStringList{u"0"_s});
        QCOMPARE(contentOfFormatZero(path), before);

        // Opened again, the file is not written at all.
        const QByteArray once = readFile(path);
        {
            RegisterStore store;
            store.open(appDir);
        }
        QCOMPARE(readFile(path), once);
    }

    void newerRegisterIsRefusedUntouched() {
        TempAppFolder folder;
        sql(folder.databasePath(), {u"PRAGMA user_version = 2"_s});
        const QByteArray before = readFile(folder.databasePath());
        const QString message = openingError(folder.appDir());
        QCOMPARE(message, u"База данных %1 записана более новой версией Tarvex (формат 2, эта версия знает форматы "
                          u"до 1). Файл не изменён: откройте его той версией программы, которая его записала, или "
                          u"новее."_s.arg(folder.databasePath()));
        QCOMPARE(readFile(folder.databasePath()), before);
        QCOMPARE(QDir(QFileInfo(folder.databasePath()).path()).entryList(QDir::Files), QStringList{u"Tarvex.mdb"_s});
    }

    // A register this user may only read stays in its own format: its conditions have no
    // days, and it can still be read whole.
    void olderRegisterThatMayNotBeWrittenIsReadAsItIs() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"DB"_s));
        const QString appDir = dir.path() + u'/';
        const QString path = RegisterStore::databasePath(appDir);
        sql(path, kFormatZero);
        const QByteArray before = readFile(path);
        const auto readable = QFile::ReadOwner | QFile::ReadOther;
        const auto searchable = readable | QFile::ExeOwner | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(dir.path(), searchable));
        QVERIFY(QFile::setPermissions(QFileInfo(path).path(), searchable));
        QVERIFY(QFile::setPermissions(path, readable));
        {
            const UnprivilegedUser user;
            QVERIFY(user.isUnprivileged());
            RegisterStore store;
            store.open(appDir);
            QCOMPARE(store.format(), 0);
            QCOMPARE(store.conditions().recordCount(), 2);
            QVERIFY(store.conditions().value(u"ComFrom").isNull());
            const ConditionList conditions = store.conditionQuery().conditionsOf(1);
            QCOMPARE(conditions.size(), 2);
            QVERIFY(conditions[0].validFrom.isNull() && conditions[1].validTill.isNull());
        }
        QVERIFY(QFile::setPermissions(dir.path(), searchable | QFile::WriteOwner));
        QCOMPARE(readFile(path), before);
    }
};

QTEST_GUILESS_MAIN(RegisterFormatTest)
#include "tst_registerformat.moc"
