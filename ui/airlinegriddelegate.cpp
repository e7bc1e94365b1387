#include "airlinegriddelegate.h"

#include "icons.h"

#include <QApplication>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

constexpr int kMarkSize = 16;

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

AirlineGridDelegate::AirlineGridDelegate(int checkColumn, std::function<QColor(int row)> markColour, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_checkColumn(checkColumn)
    , m_markColour(std::move(markColour)) {}

QRect AirlineGridDelegate::markRect(const QRect& cell) {
    // The cell's right and bottom edges are taken as exclusive, as the grid measures them.
    const int left = qRound((cell.left() + cell.left() + cell.width() - kMarkSize) / 2.0);
    const int top = qRound((cell.top() + cell.top() + cell.height() - kMarkSize) / 2.0);
    return {left, top, kMarkSize, kMarkSize};
}

void AirlineGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignLeft | Qt::AlignTop;
    if (index.column() == 0) {
        if (const QColor mark = m_markColour(index.row()); mark.isValid())
            option->backgroundBrush = mark;
    }
    if (index.column() == m_checkColumn)
        option->text.clear();
    else
        option->text = linesForDisplay(option->text);
}

void AirlineGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != m_checkColumn)
        return;
    painter->drawPixmap(markRect(option.rect), bspMark(index.data(Qt::EditRole).toBool()));
}

} // namespace tarvex
