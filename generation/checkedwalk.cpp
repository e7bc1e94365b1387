#include "checkedwalk.h"

#include "airlinewalk.h"
#include "inforce.h"
#include "runobserver.h"
#include "store/registerstore.h"

namespace tarvex {

namespace {

// Hands every airline to two sinks, each with the conditions only if it wants them.
class BothSinks : public AirlineSink {
public:
    BothSinks(AirlineSink& first, AirlineSink& second)
        : m_first(first)
        , m_second(second) {}

    bool wantsConditions(const AirlineRecord& airline) const override {
        return m_first.wantsConditions(airline) || m_second.wantsConditions(airline);
    }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override {
        m_first.addAirline(airline, m_first.wantsConditions(airline) ? conditions : ConditionList());
        m_second.addAirline(airline, m_second.wantsConditions(airline) ? conditions : ConditionList());
    }

private:
    AirlineSink& m_first;
    AirlineSink& m_second;
};

// Passes the findings on and notes whether an error was among them.
class ErrorNoting : public FindingReceiver {
public:
    explicit ErrorNoting(FindingReceiver& receiver)
        : m_receiver(receiver) {}

    void receive(const ScriptFinding& finding) override {
        m_hasErrors = m_hasErrors || finding.kind == FindingKind::Error;
        m_receiver.receive(finding);
    }
    bool hasErrors() const { return m_hasErrors; }

private:
    FindingReceiver& m_receiver;
    bool m_hasErrors = false;
};

} // namespace

CheckSettings checkSettingsFrom(const Options& options, bool withRemarks, QDate onDay) {
    return {options.scriptPrefix(), withRemarks, options.roughRates(), onDay};
}

bool walkChecked(RegisterStore& store, AirlineSink& script, const CheckSettings& settings, FindingScript written,
                 FindingReceiver& receiver, RunObserver& observer) {
    // A check of the one script written finds only what concerns it.
    ErrorNoting noting(receiver);
    ScriptCheck check(settings, noting, written);
    InForceOn inForce(settings.onDay, script);
    BothSinks sinks(inForce, check);
    walkAirlines(store, sinks, observer);
    return noting.hasErrors();
}

ScriptFindings checkRegister(RegisterStore& store, const Options& options, QDate onDay) {
    store.resetAirlineView();
    ScriptCheck check(checkSettingsFrom(options, true, onDay));
    RunObserver quiet;
    walkAirlines(store, check, quiet);
    return check.findings();
}

} // namespace tarvex
