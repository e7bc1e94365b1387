#include "rowindicator.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPolygon>

namespace tarvex {

namespace {

constexpr int kWidth = 12;

} // namespace

RowIndicator::RowIndicator(QWidget* parent)
    : QHeaderView(Qt::Vertical, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
}

QSize RowIndicator::sizeHint() const {
    return {kWidth, QHeaderView::sizeHint().height()};
}

void RowIndicator::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    const auto* view = qobject_cast<const QAbstractItemView*>(parentWidget());
    if (!view || view->currentIndex().row() != logicalIndex)
        return;
    const QPoint centre = rect.center();
    const QPolygon arrow({centre + QPoint(-2, -4), centre + QPoint(2, 0), centre + QPoint(-2, 4)});
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::WindowText));
    painter->drawPolygon(arrow);
    painter->restore();
}

} // namespace tarvex
