#pragma once

#include "store/airlinerecord.h"

#include <QString>
#include <QStringView>

#include <initializer_list>

namespace tarvex {

// Text rules of the Smart Flow script, whose whole body is one line of statements
// holding quoted strings.

// A text from the register placed inside a quoted string: a quotation mark becomes
// \" and a backslash \\, so no text can close the string early or escape its end.
QString escapeFlowText(QStringView text);

// A text from the register shown in a prompt: escaped as above, and with <, > and &
// written as look-alikes (showntext.h), so it neither closes the string nor acts as HTML.
QString escapeFlowShownText(QStringView text);

// Appends text the way the script body carries it: every run of 36 hyphens, a
// separator line typed by the user, is dropped (counted from the left of each run),
// and CR and LF are dropped so that the text runs on in one line. A line end still
// separates runs of hyphens. The pieces are flattened as the one text they make.
void appendFlattened(QString& out, std::initializer_list<QStringView> pieces);

// Code, IATA code and name, the way the agent picks the airline: "XB (222) Beta Avia".
// The key is brought into its final form once (flattened and trimmed as the body would
// carry it, a comma written as its look-alike), so the list, the "if" test and the
// "choose" heading hold the very same text.
QString smartFlowAirlineKey(const AirlineRecord& airline);

} // namespace tarvex
