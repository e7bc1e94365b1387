#include "airlinegriddelegate.h"

#include <QApplication>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

constexpr int kMarkSize = 16;

void drawDash(QPainter* painter, const QRect& mark, const QColor& color) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(color, 2));
    const int y = mark.top() + mark.height() / 2;
    painter->drawLine(mark.left() + 4, y, mark.right() - 4, y);
    painter->restore();
}

} // namespace

QString linesForDisplay(const QString& text) {
    QString lines = text;
    lines.replace(u"\r\n"_s, u"\n"_s);
    lines.replace(u'\r', u'\n');
    while (lines.endsWith(u'\n'))
        lines.chop(1);
    lines.replace(u'\n', QChar::LineSeparator);
    return lines;
}

AirlineGridDelegate::AirlineGridDelegate(int checkColumn, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_checkColumn(checkColumn) {}

QRect AirlineGridDelegate::markRect(const QRect& cell) {
    // The cell's right and bottom edges are taken as exclusive, as the grid measures them.
    const int left = qRound((cell.left() + cell.left() + cell.width() - kMarkSize) / 2.0);
    const int top = qRound((cell.top() + cell.top() + cell.height() - kMarkSize) / 2.0);
    return {left, top, kMarkSize, kMarkSize};
}

void AirlineGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignLeft | Qt::AlignTop;
    if (index.column() == m_checkColumn)
        option->text.clear();
    else
        option->text = linesForDisplay(option->text);
}

void AirlineGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != m_checkColumn)
        return;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect mark = markRect(option.rect);
    if (index.data(Qt::EditRole).toBool()) {
        QStyleOptionViewItem check(option);
        check.rect = mark;
        check.state = (option.state & QStyle::State_Enabled) | QStyle::State_On;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
    } else {
        const bool selected = option.state & QStyle::State_Selected;
        drawDash(painter, mark, option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    }
}

} // namespace tarvex
