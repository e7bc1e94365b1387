#pragma once

#include "store/airlinerecord.h"

namespace tarvex {

// Receives the airlines of a generation walk, in code order, one at a time.
class AirlineSink {
public:
    virtual ~AirlineSink() = default;

    // Whether the conditions of this airline are needed; when not, the walk does not
    // query them and hands an empty list.
    virtual bool wantsConditions(const AirlineRecord&) const { return true; }
    // Whether it wants the conditions of any airline; when not, the walk reads none.
    virtual bool readsConditions() const { return true; }

    virtual void addAirline(const AirlineRecord& airline, const ConditionList& conditions) = 0;
};

} // namespace tarvex
