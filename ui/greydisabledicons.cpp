#include "greydisabledicons.h"

#include <QImage>

namespace tarvex {

namespace {

// Of the distance from white, what a disabled picture keeps.
constexpr int kKeptOfDarkness = 40; // per cent

// The picture in light grey, its transparency kept: black becomes a grey lighter than mid-grey.
QImage greyedForDisabled(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = 255 - (255 - qGray(line[x])) * kKeptOfDarkness / 100;
            line[x] = qRgba(level, level, level, qAlpha(line[x]));
        }
    }
    return grey;
}

} // namespace

QPixmap GreyDisabledIconsStyle::generatedIconPixmap(QIcon::Mode mode, const QPixmap& pixmap,
                                                    const QStyleOption* option) const {
    if (mode != QIcon::Disabled)
        return QProxyStyle::generatedIconPixmap(mode, pixmap, option);
    QPixmap grey = QPixmap::fromImage(greyedForDisabled(pixmap.toImage()));
    grey.setDevicePixelRatio(pixmap.devicePixelRatio());
    return grey;
}

} // namespace tarvex
