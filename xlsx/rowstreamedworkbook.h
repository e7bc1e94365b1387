#pragma once

#include "chunkeddeflate.h"
#include "sharedstrings.h"
#include "sheet.h"
#include "sheetxml.h"
#include "xmlwriter.h"

#include <QString>

#include <span>
#include <vector>

class QIODevice;

namespace tarvex::xlsx {

class Workbook;

// A workbook of one sheet whose rows are composed and compressed as they come, so that neither the cells nor
// the sheet's XML are ever held whole: memory keeps the compressed sheet, the merged areas and the shared
// strings. The parts come out as writePackage() writes them from a model with the same cells.
class RowStreamedWorkbook {
public:
    // The workbook, of one sheet, gives the styles and the creation time, and its sheet the title, the columns,
    // the tab colour and the print settings; the sheet's own rows, cells and merged areas are not read. The
    // workbook must outlive this one and stay unchanged.
    explicit RowStreamedWorkbook(const Workbook& frame);

    int rowCount() const { return m_rowCount; }
    // The next row, with one cell for each column of the sheet.
    void addRow(const LineOptions& options, std::span<const Cell> cells);
    // Recorded as given, in order: an area must not overlap another nor be a single cell.
    void addMergedArea(const CellRange& area) { m_mergedAreas.push_back(area); }

    // Ends the sheet and writes the package into the device; once, after the last row. On failure returns
    // false and, when asked, the reason.
    bool writePackage(QIODevice& out, QString* errorMessage = nullptr);

private:
    const Workbook& m_frame;
    const Sheet& m_sheet;
    SharedStrings m_sharedStrings;
    ChunkedDeflate m_rowsDeflate;
    XmlWriter m_rowsXml;
    SheetRowWriter m_rowWriter;
    std::vector<CellRange> m_mergedAreas;
    int m_rowCount = 0;
};

} // namespace tarvex::xlsx
