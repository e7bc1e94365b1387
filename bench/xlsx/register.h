#pragma once

#include "store/airlinerecord.h"

#include <QList>

namespace tarvex::bench {

struct RegisterAirline {
    AirlineRecord airline;
    ConditionList conditions;
};

// A register of the given size: 1 to 4 conditions per airline (percentages, sums and
// fees mixed) and a comment on every third airline.
QList<RegisterAirline> makeRegister(int airlineCount);

} // namespace tarvex::bench
