#pragma once

#include "airlinesink.h"
#include "settings/options.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <cstdint>
#include <optional>

namespace tarvex {

// An error makes a script do something nobody wrote; a warning marks a text that works
// but misleads, or that the writer had to change to keep it from running.
enum class FindingKind { Error, Warning };

// The output a finding concerns: a script, both scripts, or the CSV airline list.
enum class FindingScript { SmartKey, SmartFlow, Both, AirlineList };

// Whether findings about `script` matter to a run that writes `written` (never Both).
constexpr bool findingsOfConcern(FindingScript script, FindingScript written) {
    return script == written || (script == FindingScript::Both && written != FindingScript::AirlineList);
}

// One text of the register that a script would not carry as its author meant.
struct ScriptFinding {
    FindingKind kind = FindingKind::Warning;
    FindingScript script = FindingScript::Both;
    QString airCode;
    std::optional<std::int64_t> airlineId;   // none for the command prefix
    std::optional<std::int64_t> conditionId; // set for the fields of a condition
    QString field;                           // the register's column, or "prefix"
    QString text;                            // the offending text as typed
    QString effect;                          // what the output would do with it, as the agent would say it

    // Whether the finding matters to a run that writes `written` (never Both).
    bool concerns(FindingScript written) const { return findingsOfConcern(script, written); }
};
using ScriptFindings = QList<ScriptFinding>;

// The findings with the errors before the warnings, each kind in its order.
ScriptFindings errorsFirst(ScriptFindings findings);

// Whether any finding is an error: a script with one is not written.
bool hasErrors(const ScriptFindings& findings);

// What the scripts are written with, besides the register.
struct CheckSettings {
    QString prefix;          // Amadeus commands before every Smart Key commission entry
    bool withRemarks = true; // remarks are only checked where they are written
    RoughRates rates;
    QDate onDay = {}; // the scripts carry the conditions in force on this day; null: every condition
};

// Takes the findings of a check one at a time, in the order the walk finds them: the
// prefix's first, then each airline's together. A register with many findings need not
// hold them all.
class FindingReceiver {
public:
    virtual ~FindingReceiver() = default;
    virtual void receive(const ScriptFinding& finding) = 0;
};

// A receiver that keeps every finding, in the order received.
class HeldFindings : public FindingReceiver {
public:
    void receive(const ScriptFinding& finding) override { findings.append(finding); }
    ScriptFindings findings;
};

// Checks the prefix once and then each airline of a walk as both scripts would write
// it, and every airline as the CSV list would; the scripts leave out airlines whose
// Script flag is off.
class ScriptCheck : public AirlineSink {
public:
    // The findings are held for findings().
    explicit ScriptCheck(CheckSettings settings);
    // The findings go to `receiver` as they are found; findings() gives none. With `written`,
    // only what concerns that output is checked: a run that writes one output skips the rest.
    ScriptCheck(CheckSettings settings, FindingReceiver& receiver, std::optional<FindingScript> written = {});
    ScriptCheck(const ScriptCheck&) = delete; // it may hold its own receiver
    ScriptCheck& operator=(const ScriptCheck&) = delete;

    bool wantsConditions(const AirlineRecord& airline) const override { return airline.script; }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    // Errors first.
    ScriptFindings findings() const { return errorsFirst(m_held.findings); }

private:
    void checkOne(const AirlineRecord& airline, const ConditionList& conditions);
    void passOn();

    CheckSettings m_settings;
    FindingReceiver& m_receiver;
    std::optional<FindingScript> m_written; // none: every output
    QSet<QString> m_branchCodes;            // Smart Key branches written so far
    QSet<QString> m_flowKeys;               // Smart Flow list entries written so far
    ScriptFindings m_found;                 // of the airline being checked, until passed on
    HeldFindings m_held;                    // every finding, when there is no other receiver
};

// The findings of one airline on its own, everything but what only another airline
// causes (a duplicate code or list entry): what an editor can mark while a text is typed.
// The scripts are checked only when the airline's Script flag is on.
void checkAirline(const AirlineRecord& airline, const ConditionList& conditions, const CheckSettings& settings,
                  ScriptFindings& findings);

// The Smart Key's command prefix: its brackets must pair up, as it stands in every command.
void checkPrefix(const QString& prefix, ScriptFindings& findings);

} // namespace tarvex
