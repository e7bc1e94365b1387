#include "units.h"

#include <cmath>

namespace tarvex::xlsx {

namespace {

// std::nearbyint rounds halves to even in the default rounding mode.
double roundHundredthsHalfEven(double value) {
    return std::nearbyint(value * 100.0) / 100.0;
}

} // namespace

double millimetresToPoints(double millimetres) {
    return roundHundredthsHalfEven(millimetres / kMillimetresPerPoint);
}

double pointsToMillimetres(double points) {
    return roundHundredthsHalfEven(points * kMillimetresPerPoint);
}

int pointsToPixels(double points) {
    return int(std::nearbyint(points * kMillimetresPerPoint / kMillimetresPerPixel));
}

} // namespace tarvex::xlsx
