#pragma once

#include "generation/scriptcheck.h"

#include <QString>
#include <QTextStream>

namespace tarvex {

// Prints findings one per line, tab-separated (see findingLine).
void printFindings(QTextStream& stream, const ScriptFindings& findings);

// "check": prints every finding of the register in the program's folder on `out`, errors
// first, and returns the exit status: 1 when any finding is an error, 0 otherwise.
int checkCommand(const QString& appDir, QTextStream& out);

} // namespace tarvex
