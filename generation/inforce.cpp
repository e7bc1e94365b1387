#include "inforce.h"

#include <algorithm>

namespace tarvex {

std::optional<ConditionList> conditionsInForce(const ConditionList& conditions, QDate day) {
    const auto inForce = [day](const ConditionRecord& condition) { return condition.inForceOn(day); };
    // Nearly every register has no days at all: its list is handed on as it is.
    if (day.isNull() || std::all_of(conditions.begin(), conditions.end(), inForce))
        return conditions;
    ConditionList kept;
    std::copy_if(conditions.begin(), conditions.end(), std::back_inserter(kept), inForce);
    if (kept.isEmpty())
        return std::nullopt;
    return kept;
}

void InForceOn::addAirline(const AirlineRecord& airline, const ConditionList& conditions) {
    if (!m_script.wantsConditions(airline)) {
        m_script.addAirline(airline, conditions);
        return;
    }
    if (const std::optional<ConditionList> kept = conditionsInForce(conditions, m_day))
        m_script.addAirline(airline, *kept);
}

} // namespace tarvex
