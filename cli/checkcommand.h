#pragma once

#include "generation/scriptcheck.h"

#include <QDate>
#include <QString>
#include <QTextStream>

namespace tarvex {

// Prints findings one per line, tab-separated (see findingLine).
void printFindings(QTextStream& stream, const ScriptFindings& findings);

// "check": prints every finding of the register the settings of the app folder choose on `out` for the
// scripts as written on the day, errors first, and returns the exit status: 1 when any
// finding is an error, 0 otherwise.
int checkCommand(const QString& appDir, QDate onDay, QTextStream& out);

} // namespace tarvex
