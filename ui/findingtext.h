#pragma once

#include "generation/scriptcheck.h"

#include <QString>

namespace tarvex {

// "Ошибка" or "Предупреждение".
QString findingKindText(FindingKind kind);

// One finding as a line for the completion dialog: kind, airline code, field, the text
// as typed and what the script would do with it.
QString findingText(const ScriptFinding& finding);

} // namespace tarvex
