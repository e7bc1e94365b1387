#include "showntext.h"

#include <algorithm>

namespace tarvex {

namespace {

bool isSmartKeyMarkup(QChar c) {
    return c == u'<' || c == u'>';
}

bool isSmartFlowMarkup(QChar c) {
    return c == u'<' || c == u'>' || c == u'&';
}

QChar lookAlike(QChar c) {
    switch (c.unicode()) {
    case u'<':
        return kShownLessThan;
    case u'>':
        return kShownGreaterThan;
    case u'&':
        return kShownAmpersand;
    default:
        return c;
    }
}

// Most texts hold nothing to rewrite: they are handed back shared, without a copy.
template <typename Predicate>
QString withLookAlikes(const QString& text, Predicate acts) {
    if (std::none_of(text.begin(), text.end(), acts))
        return text;
    QString shown = text;
    for (QChar& c : shown) {
        if (acts(c))
            c = lookAlike(c);
    }
    return shown;
}

} // namespace

bool hasSmartKeyMarkup(QStringView text) {
    return std::any_of(text.begin(), text.end(), isSmartKeyMarkup);
}

bool hasSmartFlowMarkup(QStringView text) {
    return std::any_of(text.begin(), text.end(), isSmartFlowMarkup);
}

QString shownInSmartKey(const QString& text) {
    return withLookAlikes(text, isSmartKeyMarkup);
}

QChar shownInSmartFlow(QChar c) {
    return isSmartFlowMarkup(c) ? lookAlike(c) : c;
}

Brackets bracketsOf(QStringView text) {
    int depth = 0;
    bool any = false;
    for (QChar c : text) {
        if (c == u'<') {
            ++depth;
            any = true;
        } else if (c == u'>') {
            if (--depth < 0)
                return Brackets::Unpaired;
            any = true;
        }
    }
    if (depth != 0)
        return Brackets::Unpaired;
    return any ? Brackets::Paired : Brackets::None;
}

} // namespace tarvex
