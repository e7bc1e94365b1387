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

// A hyphen or a line end: what flattening acts on. All three come before "." in the code table.
bool isFlatteningMark(QChar c) {
    return c.unicode() <= u'-' && (c == u'-' || isLineEnd(c));
}

} // namespace

QString smartFlowAirlineKey(const AirlineRecord& airline) {
    QString key;
    appendFlattened(key, {airline.airCode, u" (", airline.accCode, u") ", airline.airName});
    // A comma would split the airline list, which has no quoting.
    return escapeFlowShownText(trimBlanksAndControls(key)).replace(u',', kShownComma);
}

QString escapeFlowText(QStringView text) {
    return escapedForString(text, [](QChar c) { return c; });
}

QString escapeFlowShownText(QStringView text) {
    return escapedForString(text, shownInSmartFlow);
}

void appendFlattened(QString& out, std::initializer_list<QStringView> pieces) {
    // Flattening only drops characters: room for all of them is made at once, and they are copied in place.
    qsizetype room = 0;
    for (QStringView piece : pieces)
        room += piece.size();
    const qsizetype start = out.size();
    out.resize(start + room);
    QChar* const first = out.data() + start;
    QChar* to = first;
    qsizetype hyphens = 0; // of the run going on, not yet written
    const auto endRun = [&to, &hyphens] {
        for (qsizetype kept = hyphens % kSeparatorLength; kept > 0; --kept)
            *to++ = u'-';
        hyphens = 0;
    };
    for (QStringView piece : pieces) {
        for (QChar c : piece) {
            if (!isFlatteningMark(c)) {
                if (hyphens != 0)
                    endRun();
                *to++ = c;
            } else if (c == u'-') {
                ++hyphens;
            } else {
                endRun(); // a line end is dropped, and ends the run
            }
        }
    }
    endRun();
    out.truncate(start + (to - first));
}

} // namespace tarvex
