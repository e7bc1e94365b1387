#include "findingtext.h"

using namespace Qt::StringLiterals;

namespace tarvex {

QString findingKindText(FindingKind kind) {
    return kind == FindingKind::Error ? u"Ошибка"_s : u"Предупреждение"_s;
}

QString findingText(const ScriptFinding& finding) {
    const QString code = finding.airCode.isEmpty() ? u"—"_s : finding.airCode;
    // Line ends in a comment or wording would split one finding over several lines.
    QString text = finding.text;
    text.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
    return u"%1 · %2 · %3 «%4»: %5"_s.arg(findingKindText(finding.kind), code, finding.field, text, finding.effect);
}

} // namespace tarvex
