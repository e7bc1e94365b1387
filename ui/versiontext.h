#pragma once

#include <QString>

namespace tarvex {

// The short version the About window shows, taken from the program's four-part file
// version: its characters 1 to 3 and whatever follows the eighth, so "2.6.2.0" gives
// "2.6". A version of three characters or fewer is shown as it is.
QString shortVersionText(const QString& fileVersion);

} // namespace tarvex
