#pragma once

#include <QString>
#include <QStringView>

namespace tarvex {

// Texts of the register that a script only shows to the agent (codes, names, comments,
// condition wordings) must never run. Where such a text holds a character the script
// would act on, the character is written as a look-alike that does nothing:
//
//   <  U+2039 SINGLE LEFT-POINTING ANGLE QUOTATION MARK   (UTF-8 E2 80 B9)
//   >  U+203A SINGLE RIGHT-POINTING ANGLE QUOTATION MARK  (UTF-8 E2 80 BA)
//   &  U+FF06 FULLWIDTH AMPERSAND                          (UTF-8 EF BC 86), Smart Flow only
//
// The angle quotation marks are narrow and in every Cyrillic code page and terminal
// font Amadeus Vista uses (Windows-1251 has them at 8B and 9B), so they keep the
// columns of the terminal. The ampersand has no narrow look-alike; it only appears in
// the Smart Flow, whose prompts SellConnect shows in a browser, which finds a font for it.
// Texts that Amadeus receives as commands (remarks, currency, the command prefix) are
// never rewritten.
//
// The Smart Flow's airline list separates its entries with commas and has no quoting, so
// a comma in an airline key (code, IATA code, name: "Air Astana, JSC") is written as
//
//   ,  U+201A SINGLE LOW-9 QUOTATION MARK                  (UTF-8 E2 80 9A)
//
// in the list, the "if" test and the "choose" heading alike; it looks like a comma and
// is in Windows-1251 (at 82).
inline constexpr QChar kShownLessThan = u'\u2039';
inline constexpr QChar kShownGreaterThan = u'\u203A';
inline constexpr QChar kShownAmpersand = u'\uFF06';
inline constexpr QChar kShownComma = u'\u201A';

// Whether the Smart Key would act on a character of the text: a bracket of its commands.
bool hasSmartKeyMarkup(QStringView text);
// Whether the Smart Flow's HTML prompts would act on a character of the text.
bool hasSmartFlowMarkup(QStringView text);

// The text as the Smart Key shows it: < and > written as look-alikes.
QString shownInSmartKey(const QString& text);
// A character as a Smart Flow prompt shows it: <, > and & become look-alikes.
QChar shownInSmartFlow(QChar c);

// How the brackets of a command text pair up: "<CLEAR><EOS>" is paired, "RM <A" is not.
enum class Brackets { None, Paired, Unpaired };
Brackets bracketsOf(QStringView text);

} // namespace tarvex
