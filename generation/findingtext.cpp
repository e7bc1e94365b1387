#include "findingtext.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// As many findings as a message box shows without growing past the screen.
constexpr qsizetype kListedInMessage = 10;

QStringView scriptName(FindingScript script) {
    switch (script) {
    case FindingScript::SmartKey:
        return u"smartkey";
    case FindingScript::SmartFlow:
        return u"smartflow";
    case FindingScript::Both:
        return u"both";
    case FindingScript::AirlineList:
        return u"csv";
    }
    Q_UNREACHABLE();
}

// The escape of a character that would break the line, or nothing for one that stays as it is.
QStringView lineEscape(QChar c) {
    switch (c.unicode()) {
    case u'\t':
        return u"\\t";
    case u'\r':
        return u"\\r";
    case u'\n':
        return u"\\n";
    case u'\\':
        return u"\\\\";
    default:
        return {};
    }
}

void appendOneLine(QString& line, QStringView text) {
    // Findings are many and their texts seldom hold anything to escape: those go in whole.
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView escape = lineEscape(text[i]);
        if (escape.isEmpty())
            continue;
        line.append(text.sliced(plainFrom, i - plainFrom)).append(escape);
        plainFrom = i + 1;
    }
    line += text.sliced(plainFrom);
}

void appendNumberOrEmpty(QString& line, std::optional<std::int64_t> number) {
    if (number)
        line += wholeNumberText(*number);
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
    QString line;
    line.reserve(64 + finding.airCode.size() + finding.field.size() + finding.text.size() + finding.effect.size());
    line.append(finding.kind == FindingKind::Error ? u"error\t" : u"warning\t")
        .append(scriptName(finding.script))
        .append(u'\t');
    appendOneLine(line, finding.airCode);
    line += u'\t';
    appendNumberOrEmpty(line, finding.airlineId);
    line += u'\t';
    appendNumberOrEmpty(line, finding.conditionId);
    line.append(u'\t').append(finding.field).append(u'\t');
    appendOneLine(line, finding.text);
    line += u'\t';
    appendOneLine(line, finding.effect);
    return line;
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
