#pragma once

#include "airlinerecord.h"

#include <QDate>
#include <QString>

#include <optional>

namespace tarvex {

// A day as the program shows it: 01.03.2027.
QString dayText(QDate day);

// The days a condition is in force, as the workbook shows them after its wording:
// "с 01.03.2027 по 31.05.2027", "с 01.03.2027", "по 31.05.2027"; empty when both ends are open.
QString validityText(const ConditionRecord& condition);

// Why a condition cannot be in force from one day to the other (the last day before the
// first), naming both days; nothing when either end is open or the days are in order.
std::optional<QString> validityProblem(QDate from, QDate till);

} // namespace tarvex
