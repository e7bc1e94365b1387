#include "summaryrebuild.h"

#include "commissionsummary.h"
#include "enginerefusal.h"
#include "registerstore.h"
#include "storeerror.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

bool isCurrentAirline(const TableCursor& airlines, qint64 airlineId) {
    if (airlines.state() == TableCursor::State::Insert)
        return airlineId == 0;
    return airlines.currentRow() >= 0 && airlineId != 0 && heldInteger(airlines.value(0)) == airlineId;
}

// The texts are written whatever the cursor last read: another copy of the program may
// have changed them since, and they must match the conditions the register holds now.
void writeSummary(const QSqlDatabase& database, qint64 airlineId, const CommissionSummary& summary) {
    QSqlQuery query(database);
    if (!query.prepare(u"UPDATE tbMain SET Commision = ?, Fee = ? WHERE id = ?"_s))
        throw refusalError(RegisterTask::Save, refusalOf(query.lastError(), database));
    query.addBindValue(summary.commission);
    query.addBindValue(summary.fee);
    query.addBindValue(airlineId);
    if (!query.exec())
        throw refusalError(RegisterTask::Save, refusalOf(query.lastError(), database));
    if (query.numRowsAffected() == 0)
        throw StoreError(u"Авиакомпания не найдена в реестре: возможно, её удалили в другой копии программы; изменения "
                         u"не сохранены"_s);
}

// The conditions the texts are made from. Reading them is the first step of a save, and
// a failure says that the save failed.
ConditionList storedConditions(RegisterStore& store, qint64 airlineId) {
    try {
        return store.conditionQuery().conditionsOf(airlineId);
    } catch (const StoreError& error) {
        throw retold(error, RegisterTask::Save);
    }
}

} // namespace

qint64 rebuildCommissionSummary(RegisterStore& store, qint64 airlineId) {
    const CommissionSummary summary = summarizeConditions(storedConditions(store, airlineId));
    TableCursor& airlines = store.airlines();
    if (isCurrentAirline(airlines, airlineId)) {
        const bool inserting = airlines.state() == TableCursor::State::Insert;
        airlines.edit(); // a row being inserted stays in insert state
        airlines.setValue(u"Commision", summary.commission);
        airlines.setValue(u"Fee", summary.fee);
        airlines.post();
        // Not read from the cursor: a row that no longer passes its search leaves another
        // airline current.
        if (inserting)
            airlineId = airlines.lastInsertedId();
    }
    writeSummary(store.connection(), airlineId, summary);
    if (airlines.state() == TableCursor::State::Browse)
        airlines.refresh();
    return airlineId;
}

} // namespace tarvex
