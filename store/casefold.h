#pragma once

#include <QChar>

namespace tarvex {

// Folds the letter case of the units from `begin` to `end` in place, as
// QString::toCaseFolded() folds them, without making a string. False, and the units left
// as they were, when they hold half of a surrogate pair: then only toCaseFolded() will do.
bool foldCaseInPlace(QChar* begin, QChar* end);

} // namespace tarvex
