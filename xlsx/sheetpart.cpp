#include "digitwidth.h"
#include "numbertext.h"
#include "parts.h"
#include "sharedstrings.h"
#include "sheet.h"
#include "sheetxml.h"
#include "style.h"
#include "units.h"
#include "xmlwriter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tarvex::xlsx {

namespace {

std::string columnLetters(int column) {
    std::string letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters;
}

std::string cellReference(int column, int row) {
    return columnLetters(column) + std::string(integerText(row + 1).view());
}

// Column width in characters of the widest digit, as readers of the format size columns.
NumberText columnWidthText(double points, int maxDigitWidth) {
    const qint64 pixels = pointsToPixels(points);
    const qint64 m = maxDigitWidth;
    // trunc((p - 5) / M * 100 + 0.5), then trunc((characters * M + 5) / M * 256), in exact integers.
    const qint64 characters100 = ((pixels - 5) * 200 + m) / (2 * m);
    const qint64 width256 = (characters100 * m + 500) * 256 / (100 * m);
    return decimalText(double(width256) / 256.0, 10);
}

// Row height as written: the size in millimetres times 2.835, halves of hundredths rounded up, and no more than
// 409 points, the tallest row spreadsheet programs take from a file.
NumberText rowHeightText(double points) {
    constexpr qint64 kMaxHeight100 = 40900;
    const qint64 millimetres100 = qint64(std::nearbyint(points * kMillimetresPerPoint * 100.0));
    const qint64 height100 = std::min((millimetres100 * 2835 + 500) / 1000, kMaxHeight100);
    return decimalText(double(height100) / 100.0, 2);
}

const char* cellTypeName(CellType type) {
    switch (type) {
    case CellType::Number:
        return "n";
    case CellType::Boolean:
        return "b";
    case CellType::Error:
        return "e";
    case CellType::String:
        return "str";
    case CellType::DateTime:
    case CellType::General:
        break;
    }
    return nullptr;
}

void writeSheetProperties(XmlWriter& xml, const Sheet& sheet) {
    xml.begin("sheetPr");
    xml.attribute("filterMode", false);
    xml.endOpen();
    xml.begin("tabColor");
    std::string rgb = "FF000000";
    writeRrggbb(sheet.tabColour(), rgb.data() + 2);
    xml.attributeVerbatim("rgb", rgb);
    xml.endEmpty();
    xml.emptyElement("outlinePr");
    xml.begin("pageSetUpPr");
    xml.attribute("fitToPage", false);
    xml.endEmpty();
    xml.close("sheetPr");
}

void writeDimension(XmlWriter& xml, int columnCount, int rowCount) {
    xml.begin("dimension");
    if (columnCount == 0 || rowCount == 0)
        xml.attributeVerbatim("ref", "A1");
    else
        xml.attributeVerbatim("ref", "A1:" + cellReference(columnCount - 1, rowCount - 1));
    xml.endEmpty();
}

void writeSheetViews(XmlWriter& xml, const Sheet& sheet) {
    xml.openElement("sheetViews");
    xml.begin("sheetView");
    xml.attribute("colorId", 64);
    xml.attribute("defaultGridColor", true);
    xml.attribute("rightToLeft", false);
    xml.attribute("showFormulas", false);
    xml.attribute("showGridLines", true);
    xml.attribute("showOutlineSymbols", true);
    xml.attribute("showRowColHeaders", true);
    xml.attribute("showZeros", true);
    if (sheet.isSelected())
        xml.attribute("tabSelected", true);
    xml.attribute("topLeftCell", "A1");
    xml.attribute("view", "normal");
    xml.attribute("windowProtection", false);
    xml.attribute("workbookViewId", 0);
    xml.attribute("zoomScale", 100);
    xml.attribute("zoomScaleNormal", 100);
    xml.attribute("zoomScalePageLayoutView", 100);
    xml.endOpen();
    xml.begin("selection");
    xml.attribute("activeCell", "A1");
    xml.attribute("sqref", "A1");
    xml.endEmpty();
    xml.close("sheetView");
    xml.close("sheetViews");
}

// The style attribute of a cell, row or column: the style number plus one, 0 for the default.
int styleAttribute(int style, const StyleTable& styles) {
    return style >= 0 && style < styles.count() ? style + 1 : 0;
}

void writeColumns(XmlWriter& xml, const Sheet& sheet, const StyleTable& styles) {
    if (sheet.columnCount() == 0)
        return;
    const Font& font = styles.style(0).font;
    const int maxDigitWidth = maximumDigitWidth(font.name, font.size);
    xml.openElement("cols");
    for (int column = 0; column < sheet.columnCount(); ++column) {
        const LineOptions& options = *sheet.columnOptions(column);
        xml.begin("col");
        xml.attribute("collapsed", false);
        xml.attribute("hidden", options.hidden);
        xml.attribute("max", column + 1);
        xml.attribute("min", column + 1);
        xml.attribute("style", styleAttribute(options.style, styles));
        xml.attributeVerbatim("width", columnWidthText(options.size, maxDigitWidth).view());
        if (options.autoSize)
            xml.attribute("bestFit", 1);
        xml.endEmpty();
    }
    xml.close("cols");
}

void writeMergedAreas(XmlWriter& xml, std::span<const CellRange> areas) {
    if (areas.empty())
        return;
    xml.begin("mergeCells");
    xml.attribute("count", int(areas.size()));
    xml.endOpen();
    for (const CellRange& area : areas) {
        xml.begin("mergeCell");
        xml.attributeVerbatim("ref", cellReference(area.left, area.top) + ':' + cellReference(area.right, area.bottom));
        xml.endEmpty();
    }
    xml.close("mergeCells");
}

void writePrintSettings(XmlWriter& xml, const PrintSettings& print) {
    xml.begin("printOptions");
    xml.attribute("headings", false);
    xml.attribute("gridLines", false);
    xml.attribute("gridLinesSet", true);
    xml.attribute("horizontalCentered", print.centredHorizontally);
    xml.attribute("verticalCentered", print.centredVertically);
    xml.endEmpty();

    constexpr double kMillimetresPerInch = 25.4;
    xml.begin("pageMargins");
    xml.attributeVerbatim("left", decimalText(print.leftMargin / kMillimetresPerInch, 10).view());
    xml.attributeVerbatim("right", decimalText(print.rightMargin / kMillimetresPerInch, 10).view());
    xml.attributeVerbatim("top", decimalText(print.topMargin / kMillimetresPerInch, 10).view());
    xml.attributeVerbatim("bottom", decimalText(print.bottomMargin / kMillimetresPerInch, 10).view());
    xml.attributeVerbatim("header", decimalText(print.headerMargin / kMillimetresPerInch, 10).view());
    xml.attributeVerbatim("footer", decimalText(print.footerMargin / kMillimetresPerInch, 10).view());
    xml.endEmpty();

    xml.begin("pageSetup");
    xml.attribute("blackAndWhite", false);
    xml.attribute("cellComments", "none");
    xml.attribute("copies", 1);
    xml.attribute("draft", false);
    xml.attribute("firstPageNumber", 1);
    xml.attribute("horizontalDpi", 300);
    xml.attribute("orientation", print.orientation == Orientation::Landscape ? "landscape" : "portrait");
    xml.attribute("pageOrder", "downThenOver");
    xml.attribute("paperSize", print.paperSize);
    xml.attribute("scale", print.scale);
    xml.attribute("useFirstPageNumber", true);
    xml.attribute("verticalDpi", 300);
    xml.endEmpty();

    xml.openElement("headerFooter");
    xml.begin("oddHeader");
    xml.endWithText("oddHeader", QStringView(print.headerText));
    xml.begin("oddFooter");
    xml.endWithText("oddFooter", QStringView(print.footerText));
    xml.close("headerFooter");
}

} // namespace

void writeSheetHead(XmlWriter& xml, const Sheet& sheet, int rowCount, const StyleTable& styles) {
    xml.declaration();
    xml.begin("worksheet");
    xml.attribute("xmlns", "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    xml.attribute("xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    xml.endOpen();
    writeSheetProperties(xml, sheet);
    writeDimension(xml, sheet.columnCount(), rowCount);
    writeSheetViews(xml, sheet);
    writeColumns(xml, sheet, styles);
    xml.openElement("sheetData");
}

SheetRowWriter::SheetRowWriter(int columnCount, const StyleTable& styles, SharedStrings& sharedStrings)
    : m_styles(styles)
    , m_sharedStrings(sharedStrings) {
    for (int column = 0; column < columnCount; ++column)
        m_letters.push_back(columnLetters(column));
}

void SheetRowWriter::beginRow(XmlWriter& xml, int row, const LineOptions& options) {
    static const NumberText defaultHeight = rowHeightText(Sheet::kDefaultRowHeight);
    const bool customHeight = std::abs(options.size - Sheet::kDefaultRowHeight) > 0.001;
    m_rowNumber = integerText(row + 1);
    xml.begin("row");
    xml.attribute("collapsed", false);
    xml.attribute("customFormat", false);
    xml.attribute("customHeight", customHeight);
    xml.attribute("hidden", options.hidden);
    xml.attributeVerbatim("ht", customHeight ? rowHeightText(options.size).view() : defaultHeight.view());
    xml.attributeVerbatim("r", m_rowNumber.view());
    if (m_letters.empty())
        xml.endEmpty();
    else
        xml.endOpen();
}

void SheetRowWriter::cell(XmlWriter& xml, int column, const Cell& cell) {
    m_reference.assign(m_letters[column]).append(m_rowNumber.view());
    xml.begin("c");
    xml.attributeVerbatim("r", m_reference);
    xml.attributeVerbatim("s", integerText(styleAttribute(cell.style, m_styles)).view());
    const bool shared = cell.type == CellType::String && needsSharedString(cell.text);
    if (const char* type = shared ? "s" : cellTypeName(cell.type))
        xml.attributeVerbatim("t", type);
    if (cell.text.isEmpty()) {
        xml.endEmpty();
        return;
    }
    xml.endOpen();
    xml.begin("v");
    if (shared)
        xml.endWithText("v", integerText(m_sharedStrings.indexOf(cell.text)).view());
    else
        xml.endWithText("v", QStringView(cell.text));
    xml.close("c");
}

void SheetRowWriter::endRow(XmlWriter& xml) {
    if (!m_letters.empty())
        xml.close("row");
}

void writeSheetTail(XmlWriter& xml, std::span<const CellRange> mergedAreas, const PrintSettings& print) {
    xml.close("sheetData");
    writeMergedAreas(xml, mergedAreas);
    writePrintSettings(xml, print);
    xml.close("worksheet");
}

bool writeSheetPart(const Sheet& sheet, const StyleTable& styles, SharedStrings& sharedStrings, ByteSink& sink) {
    XmlWriter xml(sink);
    writeSheetHead(xml, sheet, sheet.rowCount(), styles);
    SheetRowWriter rows(sheet.columnCount(), styles, sharedStrings);
    for (int row = 0; row < sheet.rowCount(); ++row) {
        rows.beginRow(xml, row, *sheet.rowOptions(row));
        for (int column = 0; column < sheet.columnCount(); ++column)
            rows.cell(xml, column, *sheet.cell(column, row));
        rows.endRow(xml);
    }
    const QList<CellRange> areas = sheet.mergedAreas();
    writeSheetTail(xml, std::span<const CellRange>(areas.constData(), std::size_t(areas.size())),
                   sheet.printSettings());
    return xml.finish();
}

} // namespace tarvex::xlsx
