#pragma once

#include <QtGlobal>

#include <string_view>

namespace tarvex::xlsx {

// A number written for the package: always a point, never a locale's separator.
struct NumberText {
    char data[64];
    int size = 0;

    std::string_view view() const { return {data, std::size_t(size)}; }
};

NumberText integerText(qint64 value);

// The shortest form with at most maxDecimals decimals: 10, 10.5, 0.7874015748.
NumberText decimalText(double value, int maxDecimals);

} // namespace tarvex::xlsx
