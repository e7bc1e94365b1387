#pragma once

#include <QHeaderView>

namespace tarvex {

// The narrow column left of a grid's rows that marks the current row with an arrow.
class RowIndicator : public QHeaderView {
    Q_OBJECT
public:
    explicit RowIndicator(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

} // namespace tarvex
