#include "writers.h"

#include "common/trim.h"
#include "generation/commissionworkbook.h"

#include <QFile>

#include <cmath>
#include <vector>
#include <xlsxwriter.h>

namespace tarvex::bench {

namespace {

const QString kDate = QStringLiteral("09.12.2024");
constexpr int kRows = 10000;
constexpr int kColumns = 10;

// The five formats of the commission table.
struct Formats {
    lxw_format* title;
    lxw_format* header;
    lxw_format* condition;
    lxw_format* airline;
    lxw_format* comment;
};

lxw_format* arial12(lxw_workbook* book) {
    lxw_format* format = workbook_add_format(book);
    format_set_font_name(format, "Arial");
    format_set_font_size(format, 12);
    format_set_border(format, LXW_BORDER_MEDIUM);
    return format;
}

Formats addFormats(lxw_workbook* book) {
    Formats formats{};
    formats.title = workbook_add_format(book);
    format_set_font_name(formats.title, "Arial");
    format_set_font_size(formats.title, 16);
    format_set_bold(formats.title);
    format_set_align(formats.title, LXW_ALIGN_CENTER);
    format_set_align(formats.title, LXW_ALIGN_VERTICAL_CENTER);

    formats.header = arial12(book);
    format_set_bold(formats.header);
    format_set_align(formats.header, LXW_ALIGN_CENTER);
    format_set_align(formats.header, LXW_ALIGN_VERTICAL_CENTER);

    formats.condition = arial12(book);
    format_set_text_wrap(formats.condition);

    formats.airline = arial12(book);
    format_set_text_wrap(formats.airline);
    format_set_align(formats.airline, LXW_ALIGN_CENTER);
    format_set_align(formats.airline, LXW_ALIGN_VERTICAL_CENTER);

    formats.comment = arial12(book);
    format_set_text_wrap(formats.comment);
    format_set_align(formats.comment, LXW_ALIGN_LEFT);
    format_set_align(formats.comment, LXW_ALIGN_VERTICAL_TOP);
    format_set_bg_color(formats.comment, 0xFFFFE1);
    format_set_pattern(formats.comment, LXW_PATTERN_SOLID);
    return formats;
}

// The sheet with a record of the cells written, so that every cell of the grid is written once.
class GridSheet {
public:
    explicit GridSheet(lxw_worksheet* sheet)
        : m_sheet(sheet)
        , m_written(std::size_t(kRows) * kColumns, false) {}

    void text(int row, int column, const QString& text, lxw_format* format) {
        if (text.isEmpty())
            worksheet_write_blank(m_sheet, row, column, format);
        else
            worksheet_write_string(m_sheet, row, column, text.toUtf8().constData(), format);
        mark(row, column, row, column);
    }

    void merge(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString& text, lxw_format* format) {
        worksheet_merge_range(m_sheet, firstRow, firstColumn, lastRow, lastColumn, text.toUtf8().constData(), format);
        mark(firstRow, firstColumn, lastRow, lastColumn);
    }

    void setRowHeight(int row, double points) { worksheet_set_row(m_sheet, row, points, nullptr); }

    // Every cell not written yet, as an empty cell of the default format.
    void fillRest(lxw_format* format) {
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                if (!m_written[index(row, column)])
                    worksheet_write_blank(m_sheet, row, column, format);
            }
        }
    }

private:
    static std::size_t index(int row, int column) { return std::size_t(row) * kColumns + std::size_t(column); }
    void mark(int firstRow, int firstColumn, int lastRow, int lastColumn) {
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int column = firstColumn; column <= lastColumn; ++column)
                m_written[index(row, column)] = true;
        }
    }

    lxw_worksheet* m_sheet;
    std::vector<bool> m_written;
};

// One airline block, laid out as the commission table lays it out.
int writeBlock(GridSheet& sheet, const Formats& formats, const testing::RegisterEntry& entry, int firstRow) {
    const AirlineRecord& airline = entry.airline;
    const QString comment = trimBlanksAndControls(airline.comment).toString();
    const int rows = std::max<int>(1, int(entry.conditions.size()) + (comment.isEmpty() ? 0 : 1));
    const int lastRow = firstRow + rows - 1;
    const QString values[] = {airline.airCode, airline.accCode, airline.airName,
                              airline.bsp ? QStringLiteral("+") : QStringLiteral("-")};
    for (int column = 0; column < 4; ++column) {
        lxw_format* format = column == 3 ? formats.header : formats.airline;
        if (rows > 1)
            sheet.merge(firstRow, column, lastRow, column, values[column], format);
        else
            sheet.text(firstRow, column, values[column], format);
    }
    int row = firstRow;
    if (!comment.isEmpty()) {
        sheet.merge(row, 4, row, 5, comment, formats.comment);
        const int pieces = std::max(1, int(std::ceil(comment.size() / 50.0)));
        sheet.setRowHeight(row, (pieces + 6) * 12.75);
        ++row;
    }
    for (const ConditionRecord& condition : entry.conditions) {
        const QString commission =
            condition.comVal.isEmpty() && condition.comPct
                ? condition.comPct->toText() + QStringLiteral(" % = ") + condition.comCondition
                : condition.comSumText() + u' ' + condition.comVal + QStringLiteral(" = ") + condition.comCondition;
        const QString fee = trimBlanksAndControls(condition.fee).isEmpty()
                                ? QString()
                                : condition.fee + QStringLiteral(" = ") + condition.comCondition;
        sheet.text(row, 4, commission, formats.condition);
        sheet.text(row, 5, fee, formats.condition);
        ++row;
    }
    if (row == firstRow) {
        sheet.text(row, 4, QString(), formats.condition);
        sheet.text(row, 5, QString(), formats.condition);
    }
    return lastRow + 1;
}

} // namespace

bool writeWithTarvex(const testing::Register& airlines, const QString& path) {
    CommissionWorkbook book(kDate, true);
    for (const testing::RegisterEntry& entry : airlines)
        book.addAirline(entry.airline, entry.conditions);
    QFile file(path);
    // Unbuffered, as the program writes its files.
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && book.writePackage(file);
}

bool writeWithLibxlsxwriter(const testing::Register& airlines, const QString& path) {
    lxw_workbook* book = workbook_new(path.toUtf8().constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, kDate.toUtf8().constData());
    const Formats formats = addFormats(book);

    GridSheet grid(sheet);
    const QString title = QStringLiteral("Комиссионное вознаграждение авиакомпаний ") + kDate;
    grid.merge(0, 0, 1, 5, title, formats.title);
    grid.setRowHeight(1, 28.35);
    grid.setRowHeight(2, 42.53);
    const double widths[] = {9.4140625, 9.4140625, 18.8359375, 9.4140625, 37.74609375, 37.74609375};
    for (int column = 0; column < 6; ++column)
        worksheet_set_column(sheet, column, column, widths[column], nullptr);
    const QString headers[] = {QStringLiteral("Код а/к"), QStringLiteral("Код IATA"), QStringLiteral("Название"),
                               QStringLiteral("BSP"),     QStringLiteral("Комиссия"), QStringLiteral("Сервисный сбор")};
    for (int column = 0; column < 6; ++column)
        grid.text(2, column, headers[column], formats.header);

    int row = 3;
    for (const testing::RegisterEntry& entry : airlines)
        row = writeBlock(grid, formats, entry, row);
    grid.fillRest(workbook_add_format(book));
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace tarvex::bench
