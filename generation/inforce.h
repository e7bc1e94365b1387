#pragma once

#include "airlinesink.h"

#include <QDate>

#include <optional>

namespace tarvex {

// The conditions of an airline that the scripts carry on a day: those in force, in their
// order. Nothing when the airline has conditions and none of them is in force: the
// scripts then leave the airline out. A null day counts every condition.
std::optional<ConditionList> conditionsInForce(const ConditionList& conditions, QDate day);

// Stands before the sink of a script: hands it only the conditions in force on the day, and
// no airline whose every condition is out of force.
class InForceOn : public AirlineSink {
public:
    InForceOn(QDate day, AirlineSink& script)
        : m_day(day)
        , m_script(script) {}

    bool wantsConditions(const AirlineRecord& airline) const override { return m_script.wantsConditions(airline); }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

private:
    QDate m_day;
    AirlineSink& m_script;
};

} // namespace tarvex
