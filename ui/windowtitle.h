#pragma once

#include <QString>

namespace tarvex {

// The main window's title after the user saved `addition` as the text to put in front of it. The title is cut at
// every "|"; its last piece that is not blank, trimmed, keeps its place behind the addition and " | ". So a title
// that already carries an addition gets the new one in its place, and a plain title gets one. An empty addition
// leaves the title as it is. At start the main window's own title with the stored addition is composed the same way.
QString titleWithAddition(const QString& currentTitle, const QString& addition);

} // namespace tarvex
