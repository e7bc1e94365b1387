#include "rowstreamedworkbook.h"

#include "packageentries.h"
#include "workbook.h"
#include "zipwriter.h"

#include <utility>

namespace tarvex::xlsx {

namespace {

constexpr int kSheetDataDepth = 2; // worksheet, sheetData

} // namespace

RowStreamedWorkbook::RowStreamedWorkbook(const Workbook& frame)
    : m_frame(frame)
    , m_sheet(*frame.sheet(0))
    , m_rowsXml(m_rowsDeflate, kSheetDataDepth)
    , m_rowWriter(m_sheet.columnCount(), frame.styles(), m_sharedStrings) {}

void RowStreamedWorkbook::addRow(const LineOptions& options, std::span<const Cell> cells) {
    Q_ASSERT(int(cells.size()) == m_sheet.columnCount());
    m_rowWriter.beginRow(m_rowsXml, m_rowCount, options);
    for (int column = 0; column < int(cells.size()); ++column)
        m_rowWriter.cell(m_rowsXml, column, cells[column]);
    m_rowWriter.endRow(m_rowsXml);
    ++m_rowCount;
}

bool RowStreamedWorkbook::writePackage(QIODevice& out, QString* errorMessage) {
    writeSheetTail(m_rowsXml, m_mergedAreas, m_sheet.printSettings());
    m_rowsXml.finish();
    DeflatedData rows = m_rowsDeflate.finish();

    // The head names the row count, so it is compressed last and put before the rows: a stream of its own that
    // ends on a byte boundary, which the rows' stream continues.
    ChunkedDeflate headDeflate;
    XmlWriter headXml(headDeflate);
    writeSheetHead(headXml, m_sheet, m_rowCount, m_frame.styles());
    headXml.finish();
    DeflatedData sheet = headDeflate.finish(false);
    appendDeflated(sheet, std::move(rows));

    return writePackageEntries(m_frame, out, errorMessage, m_sharedStrings, [&](ZipWriter& zip) {
        return zip.writeDeflatedEntry("xl/worksheets/sheet1.xml", sheet);
    });
}

} // namespace tarvex::xlsx
