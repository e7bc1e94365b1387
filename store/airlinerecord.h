#pragma once

#include "decimal4.h"

#include <QDate>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace tarvex {

// One airline of the register as the writers see it: every text is its display
// text, so a NULL column reads as the empty text.
struct AirlineRecord {
    std::int64_t id = 0;
    QString airCode;
    QString accCode;
    QString airName;
    QString comment;
    bool bsp = false;
    bool script = false;
};

// One commission condition of an airline. The numeric columns keep NULL apart
// from 0, because the entry rules of the scripts and the workbook test for it.
struct ConditionRecord {
    std::int64_t id = 0; // the condition's key in tbComm
    QString comCondition;
    std::optional<Decimal4> comPct;
    std::optional<std::int16_t> comSum;
    QString comVal;
    QString remarks;
    std::optional<std::uint16_t> valLen;
    QString fee;
    // The days the condition is in force, both included; a null date leaves that end open.
    QDate validFrom;
    QDate validTill;

    // The sum as text: empty when the column is NULL.
    QString comSumText() const { return comSum ? wholeNumberText(*comSum) : QString(); }
    // Whether the condition is in force on the day.
    bool inForceOn(QDate day) const {
        return (validFrom.isNull() || validFrom <= day) && (validTill.isNull() || day <= validTill);
    }
};

using ConditionList = QList<ConditionRecord>;

} // namespace tarvex
