#include "registerfixture.h"

#include "store/registercreation.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace tarvex::testing {

namespace {

template <typename Integer>
QVariant nullable(const std::optional<Integer>& value) {
    return value ? QVariant(qint64(*value)) : QVariant();
}

QVariant storedDay(QDate day) {
    return day.isNull() ? QVariant() : QVariant(day.toString(Qt::ISODate));
}

bool execute(QSqlQuery& query, std::initializer_list<QVariant> values) {
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec();
}

bool insertEntry(QSqlQuery& insertAirline, QSqlQuery& insertCondition, const RegisterEntry& entry) {
    const AirlineRecord& a = entry.airline;
    if (!execute(insertAirline, {a.airCode, a.airName, a.comment, a.accCode, int(a.bsp), int(a.script)}))
        return false;
    const qint64 id = insertAirline.lastInsertId().toLongLong();
    for (const ConditionRecord& c : entry.conditions) {
        const QVariant percent = c.comPct ? QVariant(c.comPct->toText()) : QVariant();
        if (!execute(insertCondition, {id, c.comCondition, percent, nullable(c.comSum), c.comVal, c.remarks,
                                       nullable(c.valLen), c.fee, storedDay(c.validFrom), storedDay(c.validTill)}))
            return false;
    }
    return true;
}

} // namespace

TempAppFolder::TempAppFolder() {
    QDir(m_dir.path()).mkpath(QStringLiteral("Files"));
    createRegister(databasePath());
}

void TempAppFolder::writeOptions(const QByteArray& ini) const {
    writeFile(appDir() + QStringLiteral("options.ini"), ini);
}

TempAppFolder::~TempAppFolder() = default;

RegisterStore& TempAppFolder::openStore() {
    auto store = std::make_unique<RegisterStore>();
    store->open(appDir());
    m_store = std::move(store);
    return *m_store;
}

qint64 addAirline(RegisterStore& store, const AirlineRecord& airline, const ConditionList& conditions) {
    const qint64 id = store.addAirline(airline);

    for (const ConditionRecord& condition : conditions)
        store.addCondition(id, condition);
    return id;
}

void insertRegister(const QString& databasePath, const Register& airlines) {
    const QString connectionName = u"insertRegister"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connectionName);
        db.setDatabaseName(databasePath);
        QSqlQuery insertAirline(db);
        QSqlQuery insertCondition(db);
        // The percentage goes in as text, which the column's numeric affinity stores as a number.
        bool done = db.open() && db.transaction() &&
                    insertAirline.prepare(u"INSERT INTO tbMain (AirCode, AirName, Comment, AccCode, BSP, Script) "
                                          "VALUES (?, ?, ?, ?, ?, ?)"_s) &&
                    insertCondition.prepare(u"INSERT INTO tbComm (ComId, ComCondition, ComPCT, ComSum, ComVal, "
                                            "Remarks, ValLen, Fee, ComFrom, ComTill) "
                                            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        for (const RegisterEntry& entry : airlines)
            done = done && insertEntry(insertAirline, insertCondition, entry);
        if (!done || !db.commit())
            qFatal("cannot store the register in %s", qPrintable(databasePath));
    }
    QSqlDatabase::removeDatabase(connectionName);
}

namespace {

// Runs the statements on a connection of their own, so that the next one reads the schema afresh.
QList<QVariant> runOnce(const QString& databasePath, const QStringList& statements) {
    const QString connectionName = u"runOnce"_s;
    QList<QVariant> firstRow;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connectionName);
        db.setDatabaseName(databasePath);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(databasePath));
        QSqlQuery query(db);
        for (const QString& statement : statements) {
            if (!query.exec(statement))
                qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        }
        if (query.next()) {
            for (int column = 0; column < query.record().count(); ++column)
                firstRow << query.value(column);
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    return firstRow;
}

} // namespace

void misindexConditionOwners(const QString& databasePath, const QString& indexedOwner) {
    // Builds the index over the owners it should not have, then takes it out of the schema (its pages
    // stay), puts the true owners back into the table while SQLite does not know the index, and
    // puts the index back.
    runOnce(databasePath,
            {u"CREATE TABLE trueOwners AS SELECT id, ComId FROM tbComm"_s, u"DROP INDEX tbComm_ComId"_s,
             u"UPDATE tbComm SET ComId = "_s + indexedOwner, u"CREATE INDEX tbComm_ComId ON tbComm (ComId)"_s});
    const QList<QVariant> index =
        runOnce(databasePath, {u"SELECT rootpage, sql FROM sqlite_schema WHERE name = 'tbComm_ComId'"_s});
    runOnce(databasePath,
            {u"PRAGMA writable_schema = ON"_s, u"DELETE FROM sqlite_schema WHERE name = 'tbComm_ComId'"_s});
    runOnce(databasePath,
            {u"UPDATE tbComm SET ComId = (SELECT ComId FROM trueOwners WHERE trueOwners.id = tbComm.id)"_s,
             u"DROP TABLE trueOwners"_s, u"PRAGMA writable_schema = ON"_s,
             u"INSERT INTO sqlite_schema (type, name, tbl_name, rootpage, sql) "
             "VALUES ('index', 'tbComm_ComId', 'tbComm', %1, '%2')"_s.arg(index.value(0).toInt())
                 .arg(index.value(1).toString())});
    if (runOnce(databasePath, {u"PRAGMA integrity_check"_s}).value(0).toString() == u"ok")
        qFatal("the index of %s still matches its table", qPrintable(databasePath));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace tarvex::testing
