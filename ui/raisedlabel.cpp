#include "raisedlabel.h"

#include <QPainter>

namespace tarvex {

RaisedLabel::RaisedLabel(QWidget* parent)
    : QLabel(parent) {}

void RaisedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    const QRect area = contentsRect().adjusted(1, 1, -2, -2);
    const int flags = int(alignment());
    const struct {
        QPoint offset;
        QColor colour;
    } layers[] = {
        {{2, 2}, QColor(0x80, 0x80, 0x80)},              // shadow
        {{-1, -1}, QColor(0xd8, 0xe4, 0xf4)},            // light edge
        {{0, 0}, palette().color(QPalette::WindowText)}, // the letters
    };
    for (const auto& layer : layers) {
        painter.setPen(layer.colour);
        painter.drawText(area.translated(layer.offset), flags, text());
    }
}

} // namespace tarvex
