#include "smartflowtext.h"

#include "showntext.h"

#include "common/trim.h"

namespace tarvex {

namespace {

constexpr qsizetype kSeparatorLength = 36;

// Puts a backslash before each quotation mark and backslash, writing each character as
// `shown` gives it. The runs of characters that stay as they are go in whole.
template <typename Shown>
QString escapedForString(QStringView text, Shown shown) {
    QString escaped;
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool quoted = c == u'"' || c == u'\\';
        const QChar written = shown(c);
        if (!quoted && written == c)
            continue;
        escaped += text.sliced(plainFrom, i - plainFrom);
        if (quoted)
            escaped += u'\\';
        escaped += written;
        plainFrom = i + 1;
    }
    escaped += text.sliced(plainFrom);
    return escaped;
}

bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
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
    const QChar* const end = text.end();
    const QChar* at = text.begin();
    while (at != end) {
        const QChar* next = at;
        if (*at == u'-') {
            while (next != end && *next == u'-')
                ++next;
            out += QStringView(at, (next - at) % kSeparatorLength);
        } else if (isLineEnd(*at)) {
            next = at + 1;
        } else {
            while (next != end && *next != u'-' && !isLineEnd(*next))
                ++next;
            out += QStringView(at, next);
        }
        at = next;
    }
}

} // namespace tarvex
