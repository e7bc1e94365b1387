#pragma once

#include "support/records.h"

#include <QString>

namespace tarvex::bench {

// Builds the commission workbook from the register and writes it to the file, with
// Tarvex's model and writer.
bool writeWithTarvex(const testing::Register& airlines, const QString& path);

// The same workbook written with libxlsxwriter: the same texts, styles, merges, sizes and
// the same 10 x 10000 grid (empty cells written only where the Tarvex sheet gives them a style).
bool writeWithLibxlsxwriter(const testing::Register& airlines, const QString& path);

} // namespace tarvex::bench
