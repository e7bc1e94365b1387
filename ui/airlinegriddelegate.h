#pragma once

#include <QStyledItemDelegate>

namespace tarvex {

// Paints the cells of the airline grid: every line of a summary text on a line of its
// own, and the yes/no column as a ticked box or a dash instead of text.
class AirlineGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // checkColumn is the model column painted as a ticked box or a dash.
    AirlineGridDelegate(int checkColumn, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the 16 by 16 mark stands in a cell: centred, halves rounded.
    static QRect markRect(const QRect& cell);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    int m_checkColumn;
};

// A summary text keeps one line per condition, each ended by a lone carriage return;
// the grid shows each on a line of its own.
QString linesForDisplay(const QString& text);

} // namespace tarvex
