#pragma once

#include "numbertext.h"
#include "sheet.h"

#include <span>
#include <string>
#include <vector>

namespace tarvex::xlsx {

class SharedStrings;
class StyleTable;
class XmlWriter;

// The three pieces of a sheet part, so that a sheet is written whole from its cells or row by row as the rows
// come. The head (up to the opening of sheetData) names the row count, so a streamed sheet writes it last.

// Takes everything but the cells and the merged areas from the sheet; rowCount gives the dimension.
void writeSheetHead(XmlWriter& xml, const Sheet& sheet, int rowCount, const StyleTable& styles);

// Writes the rows inside sheetData, at depth 2.
class SheetRowWriter {
public:
    SheetRowWriter(int columnCount, const StyleTable& styles, SharedStrings& sharedStrings);

    // The row's element, then exactly one cell() for each column in order, then endRow().
    void beginRow(XmlWriter& xml, int row, const LineOptions& options);
    // Strings of the cells that are not written inline go to the shared strings.
    void cell(XmlWriter& xml, int column, const Cell& cell);
    void endRow(XmlWriter& xml);

private:
    const StyleTable& m_styles;
    SharedStrings& m_sharedStrings;
    std::vector<std::string> m_letters; // of each column
    NumberText m_rowNumber;
    std::string m_reference;
};

// Closes sheetData and writes the merged areas, the print settings and the end of the part.
void writeSheetTail(XmlWriter& xml, std::span<const CellRange> mergedAreas, const PrintSettings& print);

} // namespace tarvex::xlsx
