#include "expiry.h"

#include "enginerefusal.h"
#include "heldvalue.h"
#include "registerstore.h"
#include "serverconnection.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Contracts and conditions with a last day, in the report's order. The condition part
// needs ComTill, which a register of an older format that could not be brought up lacks.
QByteArray endingQuery(int fileFormat) {
    QString sql = u"SELECT AirCode, id, NULL, DogDate, NULL, 0 AS part, 0 AS conditionId FROM tbMain "
                  u"WHERE DogDate IS NOT NULL AND DogDate <> ''"_s;
    if (fileFormat >= 1)
        sql += u" UNION ALL SELECT m.AirCode, m.id, c.id, c.ComTill, c.ComCondition, 1, c.id FROM tbComm c "
               u"JOIN tbMain m ON m.id = c.ComId WHERE c.ComTill IS NOT NULL AND c.ComTill <> ''"_s;
    return (sql + u" ORDER BY 1, 2, part, conditionId"_s).toUtf8();
}

} // namespace

QList<EndingItem> endingSoon(RegisterStore& store, QDate today, int days) {
    const QString what = u"сроки договоров и условий"_s;
    const QDate horizon = today.addDays(days);
    QList<EndingItem> items;
    // One row of the query, whichever engine read it.
    const auto consider = [&](QString airCode, qint64 airlineId, std::optional<qint64> conditionId,
                              const QString& lastDayText, QString wording) {
        // A text that is no date ends nothing the program can tell.
        const std::optional<QDate> lastDay = parseStoredDate(lastDayText);
        if (!lastDay || *lastDay > horizon)
            return;
        EndingItem item;
        item.airCode = std::move(airCode);
        item.airlineId = airlineId;
        if (conditionId) {
            item.conditionId = conditionId;
            item.what = EndingItem::What::Condition;
            item.wording = std::move(wording);
        }
        item.lastDay = *lastDay;
        items << item;
    };

    if (store.engine() == RegisterEngine::Postgres) {
        QSqlDatabase connection = store.connection();
        reconnectIfLost(connection, RegisterTask::Read, what);
        QSqlQuery select(connection);
        select.setForwardOnly(true);
        if (!select.exec(QString::fromUtf8(endingQuery(store.format()))))
            throw StoreError(u"Не удалось прочитать %1 из реестра %2: %3"_s.arg(what, store.place(),
                                                                                select.lastError().databaseText()));
        while (select.next()) {
            const QVariant conditionId = select.value(2);
            consider(select.value(0).toString(), select.value(1).toLongLong(),
                     conditionId.isNull() ? std::nullopt : std::optional(conditionId.toLongLong()),
                     select.value(3).toString(), select.value(4).toString());
        }
        if (select.lastError().isValid())
            throw StoreError(u"Не удалось прочитать %1 из реестра %2: %3"_s.arg(what, store.place(),
                                                                                select.lastError().databaseText()));
        return items;
    }

    sqlite3* handle = sqliteHandle(store.connection());
    const SqliteStatement select(handle, endingQuery(store.format()), what);
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        consider(storedText(select.get(), 0), sqlite3_column_int64(select.get(), 1),
                 sqlite3_column_type(select.get(), 2) == SQLITE_NULL
                     ? std::nullopt
                     : std::optional(qint64(sqlite3_column_int64(select.get(), 2))),
                 storedText(select.get(), 3), storedText(select.get(), 4));
    }
    if (step != SQLITE_DONE)
        throw refusalError(RegisterTask::Read, refusalOf(handle), what);
    return items;
}

QString endingWhatToken(EndingItem::What what) {
    return what == EndingItem::What::Contract ? u"contract"_s : u"condition"_s;
}

} // namespace tarvex
