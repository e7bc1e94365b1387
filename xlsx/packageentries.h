#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace tarvex::xlsx {

class SharedStrings;
class Workbook;
class ZipWriter;

// Writes the package of the workbook into the device: writeSheets writes the sheets' entries, filling the
// shared strings, and every other part comes from the workbook. On failure returns false and, when asked,
// the reason.
bool writePackageEntries(const Workbook& workbook, QIODevice& out, QString* errorMessage, SharedStrings& sharedStrings,
                         const std::function<bool(ZipWriter&)>& writeSheets);

} // namespace tarvex::xlsx
