#pragma once

#include <QStringView>

namespace tarvex {

// The one trim of register texts wherever an output trims one (keys of the Smart Flow
// script, comments and fees of the workbook, sheet titles): blanks and control
// characters, every character up to U+0020, go from both ends.
inline QStringView trimBlanksAndControls(QStringView text) {
    const auto isBlankOrControl = [](QChar c) { return c.unicode() <= u' '; };
    while (!text.isEmpty() && isBlankOrControl(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlankOrControl(text.back()))
        text.chop(1);
    return text;
}

} // namespace tarvex
