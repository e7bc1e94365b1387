#include "style.h"

namespace tarvex::xlsx {

bool Font::sameAs(const Font& other) const {
    return colour == other.colour && name == other.name && size == other.size && bold == other.bold &&
           italic == other.italic && underline == other.underline && strikeOut == other.strikeOut &&
           superscript == other.superscript && subscript == other.subscript;
}

void CellStyle::setFrame(int weight) {
    for (BorderEdge edge : {BorderEdge::Left, BorderEdge::Top, BorderEdge::Right, BorderEdge::Bottom}) {
        border(edge).lineStyle = LineStyle::Continuous;
        border(edge).weight = weight;
    }
}

bool CellStyle::sameFillAs(const CellStyle& other) const {
    return backgroundColour == other.backgroundColour && patternColour == other.patternColour &&
           pattern == other.pattern;
}

void StyleTable::setCount(int count) {
    m_styles.resize(qMax(count, 0), m_default);
}

const CellStyle& StyleTable::style(int index) const {
    return index >= 0 && index < m_styles.size() ? m_styles[index] : m_default;
}

CellStyle* StyleTable::mutableStyle(int index) {
    return index >= 0 && index < m_styles.size() ? &m_styles[index] : nullptr;
}

void StyleTable::copyStyle(int from, int to) {
    if (CellStyle* target = mutableStyle(to))
        *target = style(from);
}

} // namespace tarvex::xlsx
