#pragma once

#include <QProxyStyle>

namespace tarvex {

// The desktop's style, with every disabled icon drawn in light grey. The style's own rule
// keeps black line art dark, so a disabled command with a line icon looked ready to use.
class GreyDisabledIconsStyle : public QProxyStyle {
    Q_OBJECT
public:
    QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap& pixmap, const QStyleOption* option) const override;
};

} // namespace tarvex
