#pragma once

namespace tarvex::xlsx {

// Sizes are kept in points; these are the conversions the model promises, with the
// spreadsheet's own constant of 0.3528 mm per point (not 25.4 / 72).
inline constexpr double kMillimetresPerPoint = 0.3528;
inline constexpr double kMillimetresPerPixel = 0.265;

// Millimetres to points, rounded to hundredths with halves to even: 10 mm gives 28.34.
double millimetresToPoints(double millimetres);

// Points to millimetres, rounded to hundredths with halves to even: 12.75 pt gives 4.5.
double pointsToMillimetres(double points);

// Points to whole screen pixels of 0.265 mm: 85.03 pt gives 113.
int pointsToPixels(double points);

} // namespace tarvex::xlsx
