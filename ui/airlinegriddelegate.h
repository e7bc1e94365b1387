#pragma once

#include <QStyledItemDelegate>

#include <functional>

namespace tarvex {

// Paints the cells of the airline grid: every line of a summary text on a line of its
// own, the yes/no column as a ticked box or a dash instead of text, and the first cell of
// a marked row in its mark's colour.
class AirlineGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // checkColumn is the model column painted as a ticked box or a dash. markColour gives
    // the background of a row's first cell, or an invalid colour for an unmarked row.
    AirlineGridDelegate(int checkColumn, std::function<QColor(int row)> markColour, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the 16 by 16 mark stands in a cell: centred, halves rounded.
    static QRect markRect(const QRect& cell);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    int m_checkColumn;
    std::function<QColor(int row)> m_markColour;
};

// A summary text keeps one line per condition, each ended by a lone carriage return;
// the grid shows each on a line of its own.
QString linesForDisplay(const QString& text);

} // namespace tarvex
