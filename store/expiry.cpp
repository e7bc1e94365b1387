#include "expiry.h"

#include "enginerefusal.h"
#include "heldvalue.h"
#include "registerstore.h"
#include "sqlitehandle.h"
#include "storeerror.h"

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
    sqlite3* handle = sqliteHandle(store.connection());
    const SqliteStatement select(handle, endingQuery(store.format()), what);
    const QDate horizon = today.addDays(days);
    QList<EndingItem> items;
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        // A text that is no date ends nothing the program can tell.
        const std::optional<QDate> lastDay = parseStoredDate(storedText(select.get(), 3));
        if (!lastDay || *lastDay > horizon)
            continue;
        EndingItem item;
        item.airCode = storedText(select.get(), 0);
        item.airlineId = sqlite3_column_int64(select.get(), 1);
        if (sqlite3_column_type(select.get(), 2) != SQLITE_NULL) {
            item.conditionId = sqlite3_column_int64(select.get(), 2);
            item.what = EndingItem::What::Condition;
            item.wording = storedText(select.get(), 4);
        }
        item.lastDay = *lastDay;
        items << item;
    }
    if (step != SQLITE_DONE)
        throw refusalError(RegisterTask::Read, refusalOf(handle), what);
    return items;
}

QString endingWhatToken(EndingItem::What what) {
    return what == EndingItem::What::Contract ? u"contract"_s : u"condition"_s;
}

} // namespace tarvex
