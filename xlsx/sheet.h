#pragma once

#include "colour.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

namespace tarvex::xlsx {

enum class CellType : quint8 { Number, DateTime, Boolean, String, Error, General };

// One cell of the grid. An empty text is a null QString, so an empty cell owns no heap memory.
struct Cell {
    QString text;
    qint32 style = -1; // -1: the default style
    CellType type = CellType::String;
};

// Size and flags of a column or a row.
struct LineOptions {
    double size = 0; // points
    bool hidden = false;
    bool autoSize = true; // auto-fit for a column, automatic height for a row
    int style = -1;
    int outlineLevel = 0;
};

// A merged rectangle, 0-based and inclusive.
struct CellRange {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const CellRange&, const CellRange&) = default;
};

enum class Orientation { Portrait, Landscape };

struct PrintSettings {
    double leftMargin = 20; // millimetres
    double rightMargin = 20;
    double topMargin = 25;
    double bottomMargin = 25;
    double headerMargin = 13;
    double footerMargin = 13;
    Orientation orientation = Orientation::Portrait;
    int paperSize = 9;
    int scale = 100;
    bool centredHorizontally = false;
    bool centredVertically = false;
    QString headerText;
    QString footerText;
};

// A sheet: a fixed grid of cells in which every cell exists, with column and row
// sizes, merged areas and print settings.
class Sheet {
public:
    static constexpr double kDefaultRowHeight = 12.75;
    static constexpr double kDefaultColumnWidth = 48;

    const QString& title() const { return m_title; }

    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return int(m_rows.size()); }
    void setColumnCount(int count);
    void setRowCount(int count);

    // Outside the grid these return nullptr.
    Cell* cell(int column, int row);
    const Cell* cell(int column, int row) const;
    Cell* cell(QStringView columnLetters, int row);
    void setCellText(int column, int row, const QString& text);
    void setCellStyle(int column, int row, int style);

    const LineOptions* columnOptions(int column) const;
    const LineOptions* rowOptions(int row) const;
    void setColumnWidthMillimetres(int column, double millimetres);
    void setColumnWidthPoints(int column, double points);
    void setRowHeightMillimetres(int row, double millimetres);
    void setRowHeightPoints(int row, double points);

    // Removes the areas the range crosses, then records it unless it is a single cell,
    // has a negative coordinate or still overlaps an area.
    void merge(int column1, int row1, int column2, int row2);
    void merge(QStringView column1, int row1, QStringView column2, int row2);
    // In the order they were recorded.
    QList<CellRange> mergedAreas() const;

    Colour tabColour() const { return m_tabColour; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }
    PrintSettings& printSettings() { return m_print; }
    const PrintSettings& printSettings() const { return m_print; }

private:
    friend class Workbook; // owns the title rule, which needs the other sheets

    LineOptions* mutableColumn(int column);
    LineOptions* mutableRow(int row);
    // Ids of the recorded areas that share a band of rows with the range.
    std::vector<int> areasNear(const CellRange& range) const;

    QString m_title;
    std::vector<std::vector<Cell>> m_cells; // [column][row]
    std::vector<LineOptions> m_columns;
    std::vector<LineOptions> m_rows;
    // Merged areas by id, in the order recorded; a removed area stays as a dead id, and
    // each band of kMergeBandRows rows lists the ids of the areas reaching into it.
    static constexpr int kMergeBandRows = 64;
    std::vector<CellRange> m_areas;
    std::vector<bool> m_areaLive;
    std::vector<std::vector<int>> m_areaBands;
    Colour m_tabColour = kNoFillColour;
    bool m_selected = false;
    PrintSettings m_print;
};

// Column letters to a 0-based index ("A" is 0, "AA" is 26); -1 for anything else.
int columnIndex(QStringView letters);

} // namespace tarvex::xlsx
