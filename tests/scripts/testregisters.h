#pragma once

#include "generation/airlinesink.h"
#include "support/records.h"

#include <QByteArray>
#include <QString>

namespace tarvex::testing {

// Small registers in code order, each matching expected files in tests/data/scripts.
Register workedExample();             // XA with one percentage, XB with a two-line comment and a menu
Register noScriptAirlines();          // one airline left out of the scripts
Register airlinesWithoutConditions(); // XB with a comment, XC without one
Register entryVariants();             // every entry kind, neither percentage nor currency, "rub", ValLen
Register prefixExample();             // one direct branch and a menu
Register quotesAndBackslashes();      // quotation marks, trailing backslashes, keys needing a trim
Register textLines();                 // lines ending in a typed ">" and in "then", separators, several-line texts

// Hands the airlines to the sink the way the generation walk does.
void walk(AirlineSink& sink, const Register& airlines);

// Empty when the bytes equal the expected file, otherwise where they first differ.
QString fixtureMismatch(const QByteArray& actual, const QString& fileName);

} // namespace tarvex::testing
