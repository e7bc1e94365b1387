#pragma once

#include "airlinerecord.h"

#include <QString>

namespace tarvex {

// The two texts an airline row keeps about its conditions, one line per condition,
// each ended by a lone carriage return: "condition - 7.5%" or "condition - 500RUB",
// and "condition - fee" (an empty line for a condition without a fee).
struct CommissionSummary {
    QString commission;
    QString fee;
};

CommissionSummary summarizeConditions(const ConditionList& conditions);

} // namespace tarvex
