#include "records.h"

namespace tarvex::testing {

AirlineRecord airline(const QString& code, const QString& name, const QString& accCode, bool script) {
    AirlineRecord record;
    record.airCode = code;
    record.airName = name;
    record.accCode = accCode;
    record.script = script;
    return record;
}

AirlineRecord withComment(AirlineRecord airline, const QString& comment) {
    airline.comment = comment;
    return airline;
}

AirlineRecord inBsp(AirlineRecord airline) {
    airline.bsp = true;
    return airline;
}

ConditionRecord percentCondition(const QString& wording, const char* percent, const QString& remarks) {
    ConditionRecord condition;
    condition.comCondition = wording;
    condition.comPct = Decimal4::parse(QString::fromLatin1(percent));
    if (!condition.comPct)
        qFatal("not a percentage: %s", percent);
    condition.remarks = remarks;
    return condition;
}

ConditionRecord sumCondition(const QString& wording, std::optional<std::int16_t> sum, const QString& currency,
                             std::optional<std::uint16_t> valLen, const QString& remarks) {
    ConditionRecord condition;
    condition.comCondition = wording;
    condition.comSum = sum;
    condition.comVal = currency;
    condition.valLen = valLen;
    condition.remarks = remarks;
    return condition;
}

ConditionRecord bareCondition(const QString& wording) {
    ConditionRecord condition;
    condition.comCondition = wording;
    return condition;
}

ConditionRecord withFee(ConditionRecord condition, const QString& fee) {
    condition.fee = fee;
    return condition;
}

ConditionRecord inForce(ConditionRecord condition, QDate from, QDate till) {
    condition.validFrom = from;
    condition.validTill = till;
    return condition;
}

} // namespace tarvex::testing
