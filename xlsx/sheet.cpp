#include "sheet.h"

#include "units.h"

#include <algorithm>

namespace tarvex::xlsx {

namespace {

// An area crosses a range when one of its corners lies inside the range.
bool crosses(const CellRange& area, const CellRange& range) {
    const bool columnInside = (area.left >= range.left && area.left <= range.right) ||
                              (area.right >= range.left && area.right <= range.right);
    const bool rowInside = (area.top >= range.top && area.top <= range.bottom) ||
                           (area.bottom >= range.top && area.bottom <= range.bottom);
    return columnInside && rowInside;
}

bool overlaps(const CellRange& a, const CellRange& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

int columnIndex(QStringView letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return -1;
    int index = 0;
    for (QChar c : letters) {
        const char16_t upper = c.toUpper().unicode();
        if (upper < u'A' || upper > u'Z')
            return -1;
        index = index * 26 + (upper - u'A' + 1);
    }
    return index - 1;
}

void Sheet::setColumnCount(int count) {
    count = std::max(count, 0);
    m_columns.resize(count, LineOptions{kDefaultColumnWidth});
    m_cells.resize(count, std::vector<Cell>(m_rows.size()));
}

void Sheet::setRowCount(int count) {
    count = std::max(count, 0);
    m_rows.resize(count, LineOptions{kDefaultRowHeight});
    for (std::vector<Cell>& column : m_cells) {
        column.resize(count);
        if (column.capacity() > 2 * column.size() + 64)
            column.shrink_to_fit(); // shrinking frees the cells' memory
    }
}

Cell* Sheet::cell(int column, int row) {
    if (column < 0 || column >= columnCount() || row < 0 || row >= rowCount())
        return nullptr;
    return &m_cells[column][row];
}

const Cell* Sheet::cell(int column, int row) const {
    return const_cast<Sheet*>(this)->cell(column, row);
}

Cell* Sheet::cell(QStringView columnLetters, int row) {
    return cell(columnIndex(columnLetters), row);
}

void Sheet::setCellText(int column, int row, const QString& text) {
    if (Cell* target = cell(column, row)) {
        target->text = text;
        target->type = CellType::String;
    }
}

void Sheet::setCellStyle(int column, int row, int style) {
    if (Cell* target = cell(column, row))
        target->style = style;
}

const LineOptions* Sheet::columnOptions(int column) const {
    return column >= 0 && column < columnCount() ? &m_columns[column] : nullptr;
}

const LineOptions* Sheet::rowOptions(int row) const {
    return row >= 0 && row < rowCount() ? &m_rows[row] : nullptr;
}

LineOptions* Sheet::mutableColumn(int column) {
    return const_cast<LineOptions*>(columnOptions(column));
}

LineOptions* Sheet::mutableRow(int row) {
    return const_cast<LineOptions*>(rowOptions(row));
}

void Sheet::setColumnWidthMillimetres(int column, double millimetres) {
    setColumnWidthPoints(column, millimetresToPoints(millimetres));
}

void Sheet::setColumnWidthPoints(int column, double points) {
    if (LineOptions* options = mutableColumn(column))
        options->size = points;
}

void Sheet::setRowHeightMillimetres(int row, double millimetres) {
    setRowHeightPoints(row, millimetresToPoints(millimetres));
}

void Sheet::setRowHeightPoints(int row, double points) {
    if (LineOptions* options = mutableRow(row))
        options->size = points;
}

std::vector<int> Sheet::areasNear(const CellRange& range) const {
    std::vector<int> ids;
    const int firstBand = std::max(range.top, 0) / kMergeBandRows;
    const int lastBand = std::min(std::max(range.bottom, 0) / kMergeBandRows, int(m_areaBands.size()) - 1);
    for (int band = firstBand; band <= lastBand; ++band) {
        for (int id : m_areaBands[band]) {
            if (m_areaLive[id])
                ids.push_back(id);
        }
    }
    return ids;
}

void Sheet::merge(int column1, int row1, int column2, int row2) {
    const CellRange range{std::min(column1, column2), std::min(row1, row2), std::max(column1, column2),
                          std::max(row1, row2)};
    const std::vector<int> nearby = areasNear(range);
    for (int id : nearby) {
        if (crosses(m_areas[id], range))
            m_areaLive[id] = false;
    }

    const bool singleCell = range.left == range.right && range.top == range.bottom;
    const bool negative = range.left < 0 || range.top < 0;
    // Any overlap left after the removal is refused: overlapping areas make a file readers repair.
    const bool overlapping = std::any_of(nearby.begin(), nearby.end(),
                                         [&](int id) { return m_areaLive[id] && overlaps(m_areas[id], range); });
    if (singleCell || negative || overlapping)
        return;

    const int id = int(m_areas.size());
    m_areas.push_back(range);
    m_areaLive.push_back(true);
    const int lastBand = range.bottom / kMergeBandRows;
    if (lastBand >= int(m_areaBands.size()))
        m_areaBands.resize(lastBand + 1);
    for (int band = range.top / kMergeBandRows; band <= lastBand; ++band)
        m_areaBands[band].push_back(id);
}

QList<CellRange> Sheet::mergedAreas() const {
    QList<CellRange> areas;
    for (std::size_t id = 0; id < m_areas.size(); ++id) {
        if (m_areaLive[id])
            areas.append(m_areas[id]);
    }
    return areas;
}

void Sheet::merge(QStringView column1, int row1, QStringView column2, int row2) {
    merge(columnIndex(column1), row1, columnIndex(column2), row2);
}

} // namespace tarvex::xlsx
