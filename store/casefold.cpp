#include "casefold.h"

#include <algorithm>

namespace tarvex {

// QString::toCaseFolded() folds character by character, each to one character of the same
// plane: outside the surrogates, one unit to one unit.
bool foldCaseInPlace(QChar* begin, QChar* end) {
    if (std::any_of(begin, end, [](QChar unit) { return unit.isSurrogate(); }))
        return false;
    for (QChar* unit = begin; unit != end; ++unit) {
        const char16_t code = unit->unicode();
        if (code < 0x80) {
            if (code >= u'A' && code <= u'Z')
                *unit = QChar(char16_t(code + (u'a' - u'A')));
        } else {
            *unit = QChar(char16_t(QChar::toCaseFolded(char32_t(code))));
        }
    }
    return true;
}

} // namespace tarvex
