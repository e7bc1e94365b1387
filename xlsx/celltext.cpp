#include "celltext.h"

namespace tarvex::xlsx {

QString fitToCell(const QString& text) {
    if (text.size() <= kMaxCellTextLength)
        return text;
    constexpr QChar kCutMark(0x2026); // "…"
    qsizetype kept = kMaxCellTextLength - 1;
    if (text.at(kept - 1).isHighSurrogate())
        --kept;
    return text.left(kept) + kCutMark;
}

} // namespace tarvex::xlsx
