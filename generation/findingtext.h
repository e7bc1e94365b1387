#pragma once

#include "scriptcheck.h"

#include <QString>

namespace tarvex {

// "Ошибка" or "Предупреждение".
QString findingKindText(FindingKind kind);

// The field a finding concerns as the windows label it, the register's column after it
// in brackets: "Длина (ValLen)".
QString findingFieldText(const QString& field);

// One finding as a line for the agent: kind, airline code, field, the text as typed and
// what the outputs would do with it. An empty text is left out, and line ends in the
// text become spaces so one finding stays one line.
QString findingText(const ScriptFinding& finding);

// A finding as one line of tab-separated columns: kind, script, code, id, condition id,
// field, text, effect. Tabs, line ends and backslashes in the texts are written \t, \r,
// \n and \\ so the line stays one line.
QString findingLine(const ScriptFinding& finding);

// The message and, below it, the findings as findingText() lines, errors first. A long
// list is cut and says how many findings it leaves out, so a message box stays on screen.
QString messageWithFindings(const QString& message, const ScriptFindings& findings);

} // namespace tarvex
