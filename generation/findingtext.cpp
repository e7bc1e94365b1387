#include "findingtext.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// As many findings as a message box shows without growing past the screen.
constexpr qsizetype kListedInMessage = 10;

QString scriptName(FindingScript script) {
    switch (script) {
    case FindingScript::SmartKey:
        return u"smartkey"_s;
    case FindingScript::SmartFlow:
        return u"smartflow"_s;
    case FindingScript::Both:
        return u"both"_s;
    case FindingScript::AirlineList:
        return u"csv"_s;
    }
    Q_UNREACHABLE();
}

QString oneLine(const QString& text) {
    QString line;
    line.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\t':
            line += u"\\t";
            break;
        case u'\r':
            line += u"\\r";
            break;
        case u'\n':
            line += u"\\n";
            break;
        case u'\\':
            line += u"\\\\";
            break;
        default:
            line += c;
        }
    }
    return line;
}

QString numberOrEmpty(std::optional<std::int64_t> number) {
    return number ? QString::number(*number) : QString();
}

} // namespace

QString findingKindText(FindingKind kind) {
    return kind == FindingKind::Error ? u"Ошибка"_s : u"Предупреждение"_s;
}

QString findingFieldText(const QString& field) {
    static const QHash<QString, QString> labels{
        {u"AirCode"_s, u"Код"_s},
        {u"AccCode"_s, u"IATA код"_s},
        {u"AirName"_s, u"Название"_s},
        {u"Comment"_s, u"Примечание"_s},
        {u"ComCondition"_s, u"Правило"_s},
        {u"ComPCT"_s, u"Процент"_s},
        {u"ComSum"_s, u"Сумма"_s},
        {u"ComVal"_s, u"Валюта"_s},
        {u"ValLen"_s, u"Длина"_s},
        {u"Remarks"_s, u"Ремарки"_s},
        {u"ComFrom"_s, u"Действует с"_s},
        {u"ComTill"_s, u"Действует по"_s},
        {u"prefix"_s, u"Префикс Smart Key"_s},
    };
    const QString label = labels.value(field);
    return label.isEmpty() ? field : u"%1 (%2)"_s.arg(label, field);
}

QString findingText(const ScriptFinding& finding) {
    const QString code = finding.airCode.isEmpty() ? u"—"_s : finding.airCode;
    QString field = findingFieldText(finding.field);
    if (!finding.text.isEmpty()) {
        QString text = finding.text;
        text.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
        field += u" «%1»"_s.arg(text);
    }
    return u"%1 · %2 · %3: %4"_s.arg(findingKindText(finding.kind), code, field, finding.effect);
}

QString findingLine(const ScriptFinding& finding) {
    return QStringList{finding.kind == FindingKind::Error ? u"error"_s : u"warning"_s,
                       scriptName(finding.script),
                       oneLine(finding.airCode),
                       numberOrEmpty(finding.airlineId),
                       numberOrEmpty(finding.conditionId),
                       finding.field,
                       oneLine(finding.text),
                       oneLine(finding.effect)}
        .join(u'\t');
}

QString messageWithFindings(const QString& message, const ScriptFindings& findings) {
    const ScriptFindings ordered = errorsFirst(findings);
    QStringList lines{message, QString()};
    for (qsizetype i = 0; i < ordered.size() && i < kListedInMessage; ++i)
        lines << findingText(ordered[i]);
    if (ordered.size() > kListedInMessage)
        lines << u"…и ещё замечаний: %1 (все — в таблице по команде «Только с замечаниями»)."_s.arg(ordered.size() -
                                                                                                    kListedInMessage);
    return lines.join(u'\n');
}

} // namespace tarvex
