#pragma once

#include "store/airlinerecord.h"

#include <QString>

namespace tarvex {

// The Amadeus entry that puts a condition's commission into a booking.
enum class CommissionEntry {
    Percent,    // FM with the percentage
    Rouble,     // FM with a sum in roubles
    Conversion, // FQC of a foreign sum, its rouble amount read back into FM
};

// An airline with one condition enters it at once; any other number of conditions
// (none included) makes a menu, and the two cases test a condition differently.
enum class EntryRule {
    SingleCondition,
    Menu,
};

// Which entry a condition gets. The rules only differ for a condition that has
// neither a percentage nor a currency.
CommissionEntry chooseEntry(const ConditionRecord& condition, EntryRule rule);

// What follows the commission entry: ";" and the remarks when remarks are wanted,
// nothing otherwise.
QString remarksPart(const ConditionRecord& condition, bool withRemarks);

// How many characters of the conversion answer hold the rouble amount.
QString captureLength(const ConditionRecord& condition);

} // namespace tarvex
