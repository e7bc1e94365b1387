#include "commissionentry.h"

namespace tarvex {

namespace {

// Compared exactly: a currency typed as "rub" is treated as foreign.
bool isRouble(const ConditionRecord& condition) {
    return condition.comVal == u"RUB";
}

} // namespace

CommissionEntry chooseEntry(const ConditionRecord& condition, EntryRule rule) {
    switch (rule) {
    case EntryRule::SingleCondition:
        if (isRouble(condition))
            return CommissionEntry::Rouble;
        if (condition.comVal.isEmpty() && condition.comPct)
            return CommissionEntry::Percent;
        return CommissionEntry::Conversion;
    case EntryRule::Menu:
        if (condition.comVal.isEmpty())
            return CommissionEntry::Percent;
        if (isRouble(condition))
            return CommissionEntry::Rouble;
        return CommissionEntry::Conversion;
    }
    Q_UNREACHABLE();
}

QString remarksPart(const ConditionRecord& condition, bool withRemarks) {
    return withRemarks ? u';' + condition.remarks : QString();
}

QString captureLength(const ConditionRecord& condition) {
    constexpr std::uint16_t kDefaultLength = 2;
    const std::uint16_t length = condition.valLen.value_or(0);
    return wholeNumberText(length == 0 ? kDefaultLength : length);
}

} // namespace tarvex
