#pragma once

#include "store/airlinerecord.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <optional>

namespace tarvex::testing {

// An airline with its conditions, as a writer receives them from the walk.
struct RegisterEntry {
    AirlineRecord airline;
    ConditionList conditions;
};
using Register = QList<RegisterEntry>;

// The builders every test and benchmark makes its records with. Fields not named
// keep the record's defaults: empty texts, NULL numbers, not in BSP.
AirlineRecord airline(const QString& code, const QString& name, const QString& accCode = {}, bool script = true);
AirlineRecord withComment(AirlineRecord airline, const QString& comment);
AirlineRecord inBsp(AirlineRecord airline);

// percent: decimal text as the register stores it, "7.5".
ConditionRecord percentCondition(const QString& wording, const char* percent, const QString& remarks = {});
ConditionRecord sumCondition(const QString& wording, std::optional<std::int16_t> sum, const QString& currency,
                             std::optional<std::uint16_t> valLen = std::nullopt, const QString& remarks = {});
// Neither a percentage nor a sum: only hand-edited data looks like this.
ConditionRecord bareCondition(const QString& wording);
ConditionRecord withFee(ConditionRecord condition, const QString& fee);
// In force from `from` to `till`, both included; a null date leaves that end open.
ConditionRecord inForce(ConditionRecord condition, QDate from, QDate till);

} // namespace tarvex::testing

Q_DECLARE_METATYPE(tarvex::testing::Register)
