#pragma once

#include "airlinerecord.h"

#include <memory>

namespace tarvex {

class AirlineSource;
class RegisterStore;

// The airlines of the register in code order, each followed by its conditions in the
// order they were created, read from one state of the register: both are read inside one
// read transaction, so a change another copy makes meanwhile is either wholly in or
// wholly out. On the server two ordered queries are merged in step, however many airlines
// there are; the register file is read as SQLite reads it fastest (see sqliteAirlineSource()).
class AirlineStream {
public:
    // Whether the conditions are read at all: a reader of the airlines alone spares the
    // register the ordered query of every condition.
    enum class Conditions { Read, Skip };
    // Begins the read transaction. Throws StoreError.
    explicit AirlineStream(RegisterStore& store, Conditions conditions = Conditions::Read);
    ~AirlineStream();
    AirlineStream(const AirlineStream&) = delete;
    AirlineStream& operator=(const AirlineStream&) = delete;

    // How many airlines the stream holds, counted by the register. Throws StoreError.
    int airlineCount();

    // Reads the next airline into `airline`; false after the last one. Throws StoreError.
    bool nextAirline(AirlineRecord& airline);
    // The conditions of the airline last read, into `conditions`, whose records are
    // reused; or, with nullptr, passes over them unread. None when the stream skips the
    // conditions. Throws StoreError.
    void takeConditions(ConditionList* conditions);

private:
    std::unique_ptr<AirlineSource> m_source;
    qint64 m_airlineId = 0;
    bool m_readsConditions = false;
};

} // namespace tarvex
