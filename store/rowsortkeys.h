#pragma once

#include "heldrows.h"

#include <vector>

namespace tarvex {

// Compares texts by Unicode code point, the order airline codes are sorted in.
int compareCodePoints(QStringView a, QStringView b);

// The indexes of the rows in the order of one column, ties in ascending id (column 0);
// column -1 keeps the rows in the order they are held. NULL sorts first, before any value; texts
// sort by code point (compareCodePoints); descending reverses the column's order, not the
// ties. Each row's value is read once into a typed key.
std::vector<int> rowsInSortOrder(const HeldRows& rows, int column, bool descending);

} // namespace tarvex
