#pragma once

#include <QString>

namespace tarvex::xlsx {

// The most text a cell holds. Spreadsheet programs count it in UTF-16 code units, as QString does, and refuse
// (or "repair") a file with a longer text.
constexpr qsizetype kMaxCellTextLength = 32767;

// The text as a cell can hold it: unchanged when it fits, otherwise its beginning followed by "…", within the
// limit, never ending in half of a surrogate pair.
QString fitToCell(const QString& text);

} // namespace tarvex::xlsx
