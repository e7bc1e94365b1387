#pragma once

#include <QList>

namespace tarvex {

// Column widths scaled in proportion to their design widths so that together they fill
// `total` pixels exactly; the last column takes what the rounding leaves.
QList<int> proportionalWidths(const QList<int>& designWidths, int total);

} // namespace tarvex
