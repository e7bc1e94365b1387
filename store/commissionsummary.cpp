#include "commissionsummary.h"

#include "validity.h"

using namespace Qt::StringLiterals;

namespace tarvex {

CommissionSummary summarizeConditions(const ConditionList& conditions) {
    CommissionSummary summary;
    for (const ConditionRecord& condition : conditions) {
        summary.commission += condition.comCondition + u" - "_s;
        if (condition.comPct)
            summary.commission += condition.comPct->toText() + u'%';
        summary.commission += condition.comSumText() + condition.comVal;
        if (!condition.validTill.isNull())
            summary.commission += u" по "_s + dayText(condition.validTill);
        summary.commission += u'\r';
        if (!condition.fee.isEmpty())
            summary.fee += condition.comCondition + u" - "_s + condition.fee;
        summary.fee += u'\r';
    }
    return summary;
}

} // namespace tarvex
