#include "smartkeylines.h"

#include <utility>

namespace tarvex {

namespace {

constexpr QStringView kLineEnd = u"\r\n";
constexpr QStringView kThen = u"then";

} // namespace

void SmartKeyLineJoiner::addText(QStringView text) {
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        addLine(text.sliced(lineStart, i - lineStart));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < text.size())
        addLine(text.sliced(lineStart));
}

QString SmartKeyLineJoiner::finish() {
    if (std::exchange(m_lineOpen, false))
        m_result += kLineEnd;
    return std::exchange(m_result, QString());
}

void SmartKeyLineJoiner::addLine(QStringView line) {
    // Testing each line alone is enough: a joined line ends in its last piece, and a
    // last piece shorter than "then" leaves a ">" among the last four characters.
    m_result += line;
    m_lineOpen = true;
    if (line.endsWith(u'>'))
        return;
    if (line.endsWith(kThen, Qt::CaseInsensitive)) {
        m_result.replace(m_result.size() - kThen.size(), kThen.size(), kThen.constData(), kThen.size());
        return;
    }
    m_result += kLineEnd;
    m_lineOpen = false;
}

} // namespace tarvex
