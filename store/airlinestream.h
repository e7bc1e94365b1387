#pragma once

#include "airlinerecord.h"
#include "sqlitehandle.h"

#include <QSqlDatabase>

#include <optional>

namespace tarvex {

class RegisterStore;

// The airlines of the register in code order, each followed by its conditions in the
// order they were created, read from one state of the register: both are read inside one
// read transaction, so a change another copy makes meanwhile is either wholly in or
// wholly out. Two ordered queries are merged in step, however many airlines there are.
class AirlineStream {
public:
    // Begins the read transaction. Throws StoreError.
    explicit AirlineStream(RegisterStore& store);
    ~AirlineStream();
    AirlineStream(const AirlineStream&) = delete;
    AirlineStream& operator=(const AirlineStream&) = delete;

    // How many airlines the stream holds.
    int airlineCount() const { return m_airlineCount; }

    // Reads the next airline into `airline`; false after the last one. Throws StoreError.
    bool nextAirline(AirlineRecord& airline);
    // The conditions of the airline last read, into `conditions`, whose records are
    // reused; or, with nullptr, passes over them unread. Throws StoreError.
    void takeConditions(ConditionList* conditions);

private:
    void stepConditions();

    QSqlDatabase m_database;
    bool m_inTransaction = false;
    int m_airlineCount = 0;
    std::optional<SqliteStatement> m_airlines;
    std::optional<SqliteStatement> m_conditions;
    qint64 m_airlineId = 0;
    bool m_conditionPending = false; // m_conditions stands on a row not yet taken
};

} // namespace tarvex
