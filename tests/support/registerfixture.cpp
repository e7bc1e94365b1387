#include "registerfixture.h"

#include "store/registercreation.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace tarvex::testing {

namespace {

template <typename Integer>
QVariant nullable(const std::optional<Integer>& value) {
    return value ? QVariant(qint64(*value)) : QVariant();
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
        if (!execute(insertCondition,
                     {id, c.comCondition, percent, nullable(c.comSum), c.comVal, c.remarks, nullable(c.valLen), c.fee}))
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

qint64 addAirline(RegisterStore& data, const AirlineRecord& airline, const ConditionList& conditions) {
    const qint64 id = data.addAirline(airline);

    for (const ConditionRecord& condition : conditions)
        data.addCondition(id, condition);
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
                                            "Remarks, ValLen, Fee) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_s);
        for (const RegisterEntry& entry : airlines)
            done = done && insertEntry(insertAirline, insertCondition, entry);
        if (!done || !db.commit())
            qFatal("cannot store the register in %s", qPrintable(databasePath));
    }
    QSqlDatabase::removeDatabase(connectionName);
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
