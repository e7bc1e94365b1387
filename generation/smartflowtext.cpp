#include "smartflowtext.h"

#include "showntext.h"

#include "common/trim.h"

namespace tarvex {

namespace {

constexpr qsizetype kSeparatorLength = 36;

// Puts a backslash before each quotation mark and backslash, writing each character as
// `shown` gives it.
template <typename Shown>
QString escapedForString(QStringView text, Shown shown) {
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        if (c == u'"' || c == u'\\')
            escaped += u'\\';
        escaped += shown(c);
    }
    return escaped;
}

} // namespace

QString smartFlowAirlineKey(const AirlineRecord& airline) {
    constexpr QStringView kK1 = u" (";
    constexpr QStringView kK2 = u") ";
    QString joined;
    joined.reserve(airline.airCode.size() + airline.accCode.size() + airline.airName.size() + 4);
    joined.append(airline.airCode).append(kK1).append(airline.accCode).append(kK2).append(airline.airName);
    QString key;
    appendFlattened(key, joined);
    // A comma would split the airline list, which has no quoting.
    return escapeFlowShownText(trimBlanksAndControls(key)).replace(u',', kShownComma);
}

QString escapeFlowText(QStringView text) {
    return escapedForString(text, [](QChar c) { return c; });
}

QString escapeFlowShownText(QStringView text) {
    return escapedForString(text, shownInSmartFlow);
}

void appendFlattened(QString& out, QStringView text) {
    const auto isLineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype next = i;
        if (text[i] == u'-') {
            while (next < text.size() && text[next] == u'-')
                ++next;
            out += text.sliced(i, (next - i) % kSeparatorLength);
        } else if (isLineEnd(text[i])) {
            next = i + 1;
        } else {
            while (next < text.size() && text[next] != u'-' && !isLineEnd(text[next]))
                ++next;
            out += text.sliced(i, next - i);
        }
        i = next;
    }
}

} // namespace tarvex
