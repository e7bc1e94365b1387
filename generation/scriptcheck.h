#pragma once

#include "airlinesink.h"
#include "settings/options.h"

#include <QList>
#include <QSet>
#include <QString>

#include <cstdint>
#include <optional>

namespace tarvex {

// An error makes a script do something nobody wrote; a warning marks a text that works
// but misleads, or that the writer had to change to keep it from running.
enum class FindingKind { Error, Warning };

// The script a finding concerns.
enum class FindingScript { SmartKey, SmartFlow, Both };

// One text of the register that a script would not carry as its author meant.
struct ScriptFinding {
    FindingKind kind = FindingKind::Warning;
    FindingScript script = FindingScript::Both;
    QString airCode;
    std::optional<std::int64_t> airlineId;   // none for the command prefix
    std::optional<std::int64_t> conditionId; // set for the fields of a condition
    QString field;                           // the register's column, or "prefix"
    QString text;                            // the offending text as typed
    QString effect;                          // what the script would do with it

    // Whether the finding matters to a run that writes `written` (never Both).
    bool concerns(FindingScript written) const { return script == FindingScript::Both || script == written; }
};
using ScriptFindings = QList<ScriptFinding>;

// What the scripts are written with, besides the register.
struct CheckSettings {
    QString prefix;          // Amadeus commands before every Smart Key commission entry
    bool withRemarks = true; // remarks are only checked where they are written
    RoughRates rates;
};

// Checks the prefix once and then each airline of a walk as both scripts would write
// it; airlines left out of the scripts are not looked at.
class ScriptCheck : public AirlineSink {
public:
    explicit ScriptCheck(CheckSettings settings);

    bool wantsConditions(const AirlineRecord& airline) const override { return airline.script; }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    const ScriptFindings& findings() const { return m_findings; }

private:
    CheckSettings m_settings;
    QSet<QString> m_branchCodes; // Smart Key branches written so far
    QSet<QString> m_flowKeys;    // Smart Flow list entries written so far
    ScriptFindings m_findings;
};

// The findings of one airline on its own, everything but what only another airline
// causes (a duplicate code or list entry): what an editor can mark while a text is typed.
void checkAirline(const AirlineRecord& airline, const ConditionList& conditions, const CheckSettings& settings,
                  ScriptFindings& findings);

// The Smart Key's command prefix: its brackets must pair up, as it stands in every command.
void checkPrefix(const QString& prefix, ScriptFindings& findings);

// A finding as one line of tab-separated columns: kind, script, code, id, condition id,
// field, text, effect. Tabs, line ends and backslashes in the texts are written \t, \r,
// \n and \\ so the line stays one line.
QString findingLine(const ScriptFinding& finding);

} // namespace tarvex
