#pragma once

#include <QImage>
#include <QProxyStyle>

namespace tarvex {

// The desktop's style, with every disabled icon drawn in light grey. The style's own rule
// keeps black line art dark, so a disabled command with a line icon looked ready to use.
class GreyDisabledIconsStyle : public QProxyStyle {
    Q_OBJECT
public:
    QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap& pixmap, const QStyleOption* option) const override;
};

// The picture in light grey, its transparency kept: black becomes a grey lighter than mid-grey.
QImage greyedForDisabled(const QImage& image);

} // namespace tarvex
