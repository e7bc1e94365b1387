#pragma once

#include <QString>
#include <QStringView>

namespace tarvex {

// Text rules of the Smart Flow script, whose whole body is one line of statements
// holding quoted strings.

// A text from the register placed inside a quoted string: a quotation mark becomes
// \" and a backslash \\, so no text can close the string early or escape its end.
QString escapeFlowText(QStringView text);

// Appends text the way the script body carries it: every run of 36 hyphens, a
// separator line typed by the user, is dropped (counted from the left of each run),
// and CR and LF are dropped so that the text runs on in one line. A line end still
// separates runs of hyphens.
void appendFlattened(QString& out, QStringView text);

} // namespace tarvex
