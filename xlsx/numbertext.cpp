#include "numbertext.h"

#include <charconv>

namespace tarvex::xlsx {

NumberText integerText(qint64 value) {
    NumberText text;
    text.size = int(std::to_chars(text.data, text.data + sizeof text.data, value).ptr - text.data);
    return text;
}

NumberText decimalText(double value, int maxDecimals) {
    NumberText text;
    const auto result =
        std::to_chars(text.data, text.data + sizeof text.data, value, std::chars_format::fixed, maxDecimals);
    if (result.ec != std::errc()) // beyond any size or margin a sheet can have
        return integerText(0);
    text.size = int(result.ptr - text.data);
    if (maxDecimals > 0) {
        while (text.data[text.size - 1] == '0')
            --text.size;
        if (text.data[text.size - 1] == '.')
            --text.size;
    }
    if (text.view() == "-0")
        return integerText(0);
    return text;
}

} // namespace tarvex::xlsx
