#pragma once

#include <QString>

class QIODevice;

namespace tarvex::xlsx {

class Workbook;

// Writes the workbook as an Office Open XML spreadsheet package into the device, which
// must be open for writing (a file, a save file, a buffer or a pipe). A workbook
// without sheets writes nothing. On failure returns false and, when asked, the reason;
// what was written so far is then incomplete.
bool writePackage(const Workbook& workbook, QIODevice& out, QString* errorMessage = nullptr);

} // namespace tarvex::xlsx
