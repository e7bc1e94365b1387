#include "iniparser.h"

namespace tarvex {

namespace {

// Length of the line end at position at, or 0 when there is none.
qsizetype lineEndLength(QStringView text, qsizetype at) {
    if (text[at] == u'\n')
        return 1;
    if (text[at] == u'\r')
        return at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1;
    return 0;
}

void classify(IniLine& line) {
    const QStringView content = trimIniBlanks(line.text);
    if (content.isEmpty()) {
        line.kind = IniLineKind::Blank;
    } else if (content.front() == u';') {
        line.kind = IniLineKind::Comment;
    } else if (const qsizetype close = content.indexOf(u']'); content.front() == u'[' && close > 0) {
        line.kind = IniLineKind::Section;
        line.inSection = true;
        line.section = trimIniBlanks(content.sliced(1, close - 1));
    } else if (const qsizetype equals = content.indexOf(u'='); equals >= 0) {
        line.kind = IniLineKind::Entry;
        line.key = trimIniBlanks(content.first(equals));
        line.value = trimIniBlanks(content.sliced(equals + 1));
    } else {
        line.kind = IniLineKind::Other;
    }
}

} // namespace

bool isIniBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimIniBlanks(QStringView text) {
    while (!text.isEmpty() && isIniBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isIniBlank(text.back()))
        text.chop(1);
    return text;
}

bool sameIniName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void parseIni(QStringView text, const IniLineVisitor& visit) {
    bool inSection = false;
    QStringView section;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && lineEndLength(text, end) == 0)
            ++end;
        const qsizetype endLength = end < text.size() ? lineEndLength(text, end) : 0;

        IniLine line;
        line.text = text.sliced(start, end - start);
        line.lineEnd = text.sliced(end, endLength);
        line.offset = start;
        line.inSection = inSection;
        line.section = section;
        classify(line);
        if (line.kind == IniLineKind::Section) {
            inSection = true;
            section = line.section;
        }
        if (!visit(line))
            return;
        start = end + endLength;
    }
}

} // namespace tarvex
