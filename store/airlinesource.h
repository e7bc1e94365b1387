#pragma once

#include "airlinerecord.h"

#include <QString>

#include <memory>

namespace tarvex {

class RegisterStore;

// What an engine gives AirlineStream: the airlines in code order, and for each airline in
// turn its conditions in the order they were created, read inside one read transaction
// that the source holds while it lives. Every method throws StoreError when the engine refuses.
class AirlineSource {
public:
    virtual ~AirlineSource() = default;

    virtual int airlineCount() = 0;
    // Steps to the next airline and reads it; false after the last one.
    virtual bool nextAirline(AirlineRecord& airline) = 0;
    // Steps to the next condition of the airline last read, whose id is given; false after its last one.
    virtual bool nextConditionOf(qint64 airlineId) = 0;
    // Passes over the conditions of the airline last read, unread.
    virtual void passConditionsOf(qint64 airlineId) {
        while (nextConditionOf(airlineId)) {
        }
    }
    virtual void readCondition(ConditionRecord& condition) = 0;
};

// The airlines' columns for a select, with those an airline record does not take read as NULL
// in their places: the sort of every airline then carries no contract, fee or counterparty texts.
QString airlineRecordColumns(int registerFormat);

// The two queries of a walk merged in step, one text for every engine. Airlines sort by code in code points, ties
// by id: the order the airline list shows. SQLite compares UTF-8 texts byte by byte, and
// the server's texts are created with the collation "C", which compares the same way.
// `columns` is the select list of the table (schema::selectList()), the conditions' with the qualifier "c".
QString airlinesInCodeOrder(const QString& columns);
QString conditionsInCodeOrder(const QString& columns);
// The column of the conditions' query that holds the owning airline's id.
int conditionOwnerColumn();

std::unique_ptr<AirlineSource> sqliteAirlineSource(RegisterStore& store);
// `withConditions` false: the reader asks for airlines alone, which the server can then stream as well.
std::unique_ptr<AirlineSource> serverAirlineSource(RegisterStore& store, bool withConditions);

} // namespace tarvex
