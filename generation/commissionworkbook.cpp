#include "commissionworkbook.h"

#include "common/trim.h"
#include "store/validity.h"
#include "xlsx/celltext.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

using namespace xlsx;

// The five cell styles of the table.
enum StyleNumber { TitleStyle, HeaderStyle, ConditionStyle, AirlineStyle, CommentStyle };

enum Column { CodeColumn, IataColumn, NameColumn, BspColumn, CommissionColumn, FeeColumn };

constexpr double kCommentPieceLength = 50; // UTF-16 code units per wrapped piece

// The wording, followed by the days the condition is in force when it has any.
QString wordingWithDays(const ConditionRecord& condition) {
    const QString days = validityText(condition);
    return days.isEmpty() ? condition.comCondition : condition.comCondition + u' ' + days;
}

QString commissionText(const ConditionRecord& condition) {
    if (condition.comVal.isEmpty() && condition.comPct)
        return condition.comPct->toText() + QStringLiteral(" % = ") + wordingWithDays(condition);
    return condition.comSumText() + u' ' + condition.comVal + QStringLiteral(" = ") + wordingWithDays(condition);
}

QString feeText(const ConditionRecord& condition) {
    if (trimBlanksAndControls(condition.fee).isEmpty())
        return QString();
    return condition.fee + QStringLiteral(" = ") + condition.comCondition;
}

// Tall enough for the wrapped comment: six rows more than its 50-character pieces.
double commentRowHeight(const QString& comment) {
    const int pieces = std::max(1, int(std::ceil(comment.size() / kCommentPieceLength)));
    return (pieces + 6) * Sheet::kDefaultRowHeight;
}

} // namespace

CommissionWorkbook::CommissionWorkbook(const QString& dateText, bool includeFees)
    : m_includeFees(includeFees) {
    m_workbook.setSheetCount(1);
    m_sheet = m_workbook.sheet(0);
    m_workbook.setSheetTitle(0, dateText);
    m_sheet->setColumnCount(kColumnCount);
    m_sheet->setRowCount(kMinimumRowCount);
    setUpStyles();
    writeTitleAndHeaders(dateText);
}

void CommissionWorkbook::setUpStyles() {
    StyleTable& styles = m_workbook.styles();
    styles.setCount(5);

    CellStyle& title = *styles.mutableStyle(TitleStyle);
    title.font.size = 16;
    title.font.bold = true;
    title.alignment.horizontal = HorizontalAlignment::Centre;
    title.alignment.vertical = VerticalAlignment::Centre;

    CellStyle& header = *styles.mutableStyle(HeaderStyle);
    header.font.size = 12;
    header.font.bold = true;
    header.alignment.horizontal = HorizontalAlignment::Centre;
    header.alignment.vertical = VerticalAlignment::Centre;
    header.setFrame(2);

    CellStyle& condition = *styles.mutableStyle(ConditionStyle);
    condition.font.size = 12;
    condition.alignment.wrapText = true;
    condition.setFrame(2);

    styles.copyStyle(ConditionStyle, AirlineStyle);
    CellStyle& airline = *styles.mutableStyle(AirlineStyle);
    airline.alignment.horizontal = HorizontalAlignment::Centre;
    airline.alignment.vertical = VerticalAlignment::Centre;

    styles.copyStyle(ConditionStyle, CommentStyle);
    CellStyle& comment = *styles.mutableStyle(CommentStyle);
    comment.alignment.horizontal = HorizontalAlignment::Left;
    comment.alignment.vertical = VerticalAlignment::Top;
    comment.backgroundColour = kTooltipBackground;
}

void CommissionWorkbook::writeTitleAndHeaders(const QString& dateText) {
    m_sheet->setCellText(0, 0, QStringLiteral("Комиссионное вознаграждение авиакомпаний ") + dateText);
    m_sheet->setCellStyle(0, 0, TitleStyle);
    m_sheet->merge(0, 0, FeeColumn, 1);

    m_sheet->setRowHeightMillimetres(1, 10);
    const double widths[] = {30, 30, 60, 30, 120, 120};
    for (int column = CodeColumn; column <= FeeColumn; ++column)
        m_sheet->setColumnWidthMillimetres(column, widths[column]);
    m_sheet->setRowHeightMillimetres(2, 15);

    const QString headers[] = {QStringLiteral("Код а/к"), QStringLiteral("Код IATA"), QStringLiteral("Название"),
                               QStringLiteral("BSP"),     QStringLiteral("Комиссия"), QStringLiteral("Сервисный сбор")};
    for (int column = CodeColumn; column <= FeeColumn; ++column) {
        m_sheet->setCellText(column, 2, headers[column]);
        m_sheet->setCellStyle(column, 2, HeaderStyle);
    }
}

void CommissionWorkbook::ensureRow(int row) {
    if (row >= m_sheet->rowCount())
        m_sheet->setRowCount(row + 1);
}

void CommissionWorkbook::styleAirlineCells(int row) {
    for (int column = CodeColumn; column <= NameColumn; ++column)
        m_sheet->setCellStyle(column, row, AirlineStyle);
    m_sheet->setCellStyle(BspColumn, row, HeaderStyle);
}

void CommissionWorkbook::styleCommissionCells(int row, int style) {
    m_sheet->setCellStyle(CommissionColumn, row, style);
    m_sheet->setCellStyle(FeeColumn, row, style);
}

void CommissionWorkbook::setRegisterText(int column, int row, const QString& text, const AirlineRecord& airline,
                                         RegisterText what, qint64 conditionId) {
    const QString fitted = xlsx::fitToCell(text);
    if (fitted.size() < text.size()) {
        QString part;
        switch (what) {
        case RegisterText::Code:
            part = u"кода"_s;
            break;
        case RegisterText::IataCode:
            part = u"кода IATA"_s;
            break;
        case RegisterText::Name:
            part = u"названия"_s;
            break;
        case RegisterText::Comment:
            part = u"комментария"_s;
            break;
        case RegisterText::Commission:
            part = u"текста комиссии условия id %1"_s.arg(conditionId);
            break;
        case RegisterText::Fee:
            part = u"текста сервисного сбора условия id %1"_s.arg(conditionId);
            break;
        }
        m_warnings << u"Книга Excel: в ячейку помещается не больше %1 знаков, поэтому от %2 авиакомпании %3 (id %4) "
                      u"длиной %5 знаков записано только начало, с «…» в конце."_s.arg(
                          QString::number(xlsx::kMaxCellTextLength), part, airline.airCode, QString::number(airline.id),
                          QString::number(text.size()));
    }
    m_sheet->setCellText(column, row, fitted);
}

void CommissionWorkbook::addAirline(const AirlineRecord& airline, const ConditionList& conditions) {
    const int firstRow = m_nextRow;
    int row = firstRow;
    ensureRow(row);
    setRegisterText(CodeColumn, row, airline.airCode, airline, RegisterText::Code);
    setRegisterText(IataColumn, row, airline.accCode, airline, RegisterText::IataCode);
    setRegisterText(NameColumn, row, airline.airName, airline, RegisterText::Name);
    m_sheet->setCellText(BspColumn, row, airline.bsp ? QStringLiteral("+") : QStringLiteral("-"));
    styleAirlineCells(row);

    const QString comment = trimBlanksAndControls(airline.comment).toString();
    if (!comment.isEmpty()) {
        styleCommissionCells(row, CommentStyle);
        setRegisterText(CommissionColumn, row, comment, airline, RegisterText::Comment);
        m_sheet->merge(CommissionColumn, row, FeeColumn, row);
        m_sheet->setRowHeightPoints(row, commentRowHeight(comment));
        ++row;
    }

    for (const ConditionRecord& condition : conditions) {
        ensureRow(row);
        styleAirlineCells(row);
        styleCommissionCells(row, ConditionStyle);
        setRegisterText(CommissionColumn, row, commissionText(condition), airline, RegisterText::Commission,
                        condition.id);
        setRegisterText(FeeColumn, row, m_includeFees ? feeText(condition) : QString(), airline, RegisterText::Fee,
                        condition.id);
        ++row;
    }

    // An airline with neither comment nor conditions still takes its own row.
    if (row == firstRow) {
        styleCommissionCells(row, ConditionStyle);
        ++row;
    }

    const int lastRow = row - 1;
    if (lastRow > firstRow) {
        for (int column = CodeColumn; column <= BspColumn; ++column)
            m_sheet->merge(column, firstRow, column, lastRow);
    }
    m_nextRow = row;
}

} // namespace tarvex
