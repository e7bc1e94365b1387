#include "digitwidth.h"

#include <array>
#include <cmath>

namespace tarvex::xlsx {

namespace {

struct DigitAdvance {
    const char16_t* family;
    int advance; // of the widest digit, in font units
    int unitsPerEm;
};

// All digits of these fonts share one advance width.
constexpr std::array<DigitAdvance, 1> kDigitAdvances = {{
    {u"Arial", 1139, 2048},
}};

} // namespace

int maximumDigitWidth(const QString& fontName, double sizePoints) {
    DigitAdvance metrics = kDigitAdvances.front();
    for (const DigitAdvance& candidate : kDigitAdvances) {
        if (fontName.compare(QStringView(candidate.family), Qt::CaseInsensitive) == 0)
            metrics = candidate;
    }
    const double pixelsPerEm = std::round(std::trunc(sizePoints) * 96.0 / 72.0);
    return std::max(1, int(std::lround(pixelsPerEm * metrics.advance / metrics.unitsPerEm)));
}

} // namespace tarvex::xlsx
