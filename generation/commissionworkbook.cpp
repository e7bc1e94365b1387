#include "commissionworkbook.h"

#include "common/trim.h"
#include "store/validity.h"
#include "xlsx/celltext.h"
#include "xlsx/units.h"

#include <algorithm>
#include <cmath>
#include <utility>

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
    m_frame.setSheetCount(1);
    m_frame.setSheetTitle(0, dateText);
    setUpStyles();
    setUpColumns();
    m_sheet = std::make_unique<RowStreamedWorkbook>(m_frame);
    writeTitleAndHeaders(dateText);
}

void CommissionWorkbook::setUpStyles() {
    StyleTable& styles = m_frame.styles();
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

void CommissionWorkbook::setUpColumns() {
    Sheet& sheet = *m_frame.sheet(0);
    sheet.setColumnCount(kColumnCount);
    const double widths[] = {30, 30, 60, 30, 120, 120};
    for (int column = CodeColumn; column <= FeeColumn; ++column)
        sheet.setColumnWidthMillimetres(column, widths[column]);
}

void CommissionWorkbook::writeTitleAndHeaders(const QString& dateText) {
    m_row[0].text = QStringLiteral("Комиссионное вознаграждение авиакомпаний ") + dateText;
    m_row[0].style = TitleStyle;
    merge(0, 0, FeeColumn, 1);
    endRow();

    m_rowOptions.size = millimetresToPoints(10);
    endRow();

    const QString headers[] = {QStringLiteral("Код а/к"), QStringLiteral("Код IATA"), QStringLiteral("Название"),
                               QStringLiteral("BSP"),     QStringLiteral("Комиссия"), QStringLiteral("Сервисный сбор")};
    for (int column = CodeColumn; column <= FeeColumn; ++column) {
        m_row[column].text = headers[column];
        m_row[column].style = HeaderStyle;
    }
    m_rowOptions.size = millimetresToPoints(15);
    endRow();
}

void CommissionWorkbook::endRow() {
    m_sheet->addRow(m_rowOptions, m_row);
    m_row.fill(Cell{});
    m_rowOptions = LineOptions{Sheet::kDefaultRowHeight};
}

void CommissionWorkbook::merge(int column1, int row1, int column2, int row2) {
    m_sheet->addMergedArea({column1, row1, column2, row2});
}

void CommissionWorkbook::styleAirlineCells() {
    for (int column = CodeColumn; column <= NameColumn; ++column)
        m_row[column].style = AirlineStyle;
    m_row[BspColumn].style = HeaderStyle;
}

void CommissionWorkbook::styleCommissionCells(int style) {
    m_row[CommissionColumn].style = style;
    m_row[FeeColumn].style = style;
}

void CommissionWorkbook::setRegisterText(int column, const QString& text, const AirlineRecord& airline,
                                         RegisterText what, qint64 conditionId) {
    QString fitted = xlsx::fitToCell(text);
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
    m_row[column].text = std::move(fitted);
}

void CommissionWorkbook::addAirline(const AirlineRecord& airline, const ConditionList& conditions) {
    // The airline's texts stand in the first row of its block, the row of its comment when it has one.
    const int firstRow = m_sheet->rowCount();
    setRegisterText(CodeColumn, airline.airCode, airline, RegisterText::Code);
    setRegisterText(IataColumn, airline.accCode, airline, RegisterText::IataCode);
    setRegisterText(NameColumn, airline.airName, airline, RegisterText::Name);
    m_row[BspColumn].text = airline.bsp ? QStringLiteral("+") : QStringLiteral("-");
    styleAirlineCells();

    const QString comment = trimBlanksAndControls(airline.comment).toString();
    if (!comment.isEmpty()) {
        styleCommissionCells(CommentStyle);
        setRegisterText(CommissionColumn, comment, airline, RegisterText::Comment);
        merge(CommissionColumn, firstRow, FeeColumn, firstRow);
        m_rowOptions.size = commentRowHeight(comment);
        endRow();
    }

    for (const ConditionRecord& condition : conditions) {
        styleAirlineCells();
        styleCommissionCells(ConditionStyle);
        setRegisterText(CommissionColumn, commissionText(condition), airline, RegisterText::Commission, condition.id);
        setRegisterText(FeeColumn, m_includeFees ? feeText(condition) : QString(), airline, RegisterText::Fee,
                        condition.id);
        endRow();
    }

    // An airline with neither comment nor conditions still takes its own row.
    if (m_sheet->rowCount() == firstRow) {
        styleCommissionCells(ConditionStyle);
        endRow();
    }

    const int lastRow = m_sheet->rowCount() - 1;
    if (lastRow > firstRow) {
        for (int column = CodeColumn; column <= BspColumn; ++column)
            merge(column, firstRow, column, lastRow);
    }
}

bool CommissionWorkbook::writePackage(QIODevice& out, QString* errorMessage) {
    while (m_sheet->rowCount() < kMinimumRowCount)
        endRow();
    return m_sheet->writePackage(out, errorMessage);
}

} // namespace tarvex
