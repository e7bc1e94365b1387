#pragma once

#include <QString>

namespace tarvex::xlsx {

// The widest of the digits 0 to 9, in whole pixels at 96 pixels per inch, of the font at
// the size truncated to whole points. Taken from a built-in table of digit advances
// (Arial 16 gives 12); a font not in the table is measured as Arial.
int maximumDigitWidth(const QString& fontName, double sizePoints);

} // namespace tarvex::xlsx
