#include "scriptcheck.h"

#include "commissionentry.h"
#include "showntext.h"
#include "smartflowtext.h"

#include <cstdlib>
#include <utility>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kUnpairedEffect = u"unpaired < or > breaks the Smart Key's brackets: the Smart Key is not written"_s;

// Collects the findings of one airline with its code and id filled in.
class AirlineFindings {
public:
    AirlineFindings(const AirlineRecord& airline, ScriptFindings& findings)
        : m_airline(airline)
        , m_findings(findings) {}

    void add(FindingKind kind, FindingScript script, const ConditionRecord* condition, const QString& field,
             const QString& text, const QString& effect) {
        ScriptFinding finding{kind, script, m_airline.airCode, m_airline.id, std::nullopt, field, text, effect};
        if (condition)
            finding.conditionId = condition->id;
        m_findings.append(std::move(finding));
    }

    // A text only shown to the agent, which the writers neutralise.
    void addShown(bool inSmartKey, bool inSmartFlow, const ConditionRecord* condition, const QString& field,
                  const QString& text) {
        if (inSmartKey && hasSmartKeyMarkup(text))
            add(FindingKind::Warning, FindingScript::SmartKey, condition, field, text,
                u"would run as a Smart Key command; written with \u2039 \u203A"_s);
        if (inSmartFlow && hasSmartFlowMarkup(text))
            add(FindingKind::Warning, FindingScript::SmartFlow, condition, field, text,
                u"would be read as HTML in the Smart Flow prompt; written with \u2039 \u203A \uFF06"_s);
    }

    // A text the Smart Key hands to Amadeus as it stands.
    void addCommand(const ConditionRecord& condition, const QString& field, const QString& text) {
        switch (bracketsOf(text)) {
        case Brackets::None:
            break;
        case Brackets::Paired:
            add(FindingKind::Warning, FindingScript::SmartKey, &condition, field, text,
                u"runs as Smart Key commands"_s);
            break;
        case Brackets::Unpaired:
            add(FindingKind::Error, FindingScript::SmartKey, &condition, field, text, kUnpairedEffect);
            break;
        }
    }

private:
    const AirlineRecord& m_airline;
    ScriptFindings& m_findings;
};

int digitCount(qint64 number) {
    int digits = 1;
    for (number = std::llabs(number); number >= 10; number /= 10)
        ++digits;
    return digits;
}

// The conversion entry reads the rouble amount back in as many characters as the
// capture length: fewer than the amount has digits enter a fraction of the commission.
void checkConversion(const ConditionRecord& condition, const RoughRates& rates, AirlineFindings& findings) {
    const QString length = captureLength(condition);
    if (!condition.comSum) {
        findings.add(FindingKind::Warning, FindingScript::Both, &condition, u"ComSum"_s, {},
                     u"no sum: sends FQC%1/RUB, which converts nothing"_s.arg(condition.comVal));
        return;
    }
    const std::optional<int> rate = rates.of(condition.comVal);
    if (!rate) {
        findings.add(FindingKind::Warning, FindingScript::Both, &condition, u"ComVal"_s, condition.comVal,
                     u"no rough rate for %1: cannot tell whether ValLen %2 captures the whole amount in roubles"_s.arg(
                         condition.comVal, length));
        return;
    }
    const int digits = digitCount(qint64(*condition.comSum) * *rate);
    if (digits > length.toInt()) {
        const QString valLen = condition.valLen ? QString::number(*condition.valLen) : QString();
        findings.add(FindingKind::Warning, FindingScript::Both, &condition, u"ValLen"_s, valLen,
                     u"ValLen %1 captures %1 of the %2 digits of %3 %4 in roubles"_s.arg(
                         length, QString::number(digits), condition.comSumText(), condition.comVal));
    }
}

// Conditions after the first with the same wording: the menu offers two entries that
// read the same. The Smart Flow also shows the label (7.5% or 50EUR) before the wording.
void checkWordings(const ConditionList& conditions, AirlineFindings& findings) {
    const auto label = [](const ConditionRecord& c) {
        return c.comVal.isEmpty() ? percentText(c.comPct) + u"%"_s : c.comSumText() + c.comVal;
    };
    for (qsizetype i = 1; i < conditions.size(); ++i) {
        const QString wording = conditions[i].comCondition.trimmed();
        for (qsizetype earlier = 0; earlier < i; ++earlier) {
            if (conditions[earlier].comCondition.trimmed() != wording)
                continue;
            const bool sameLabel = label(conditions[earlier]) == label(conditions[i]);
            findings.add(FindingKind::Warning, sameLabel ? FindingScript::Both : FindingScript::SmartKey,
                         &conditions[i], u"ComCondition"_s, conditions[i].comCondition,
                         u"duplicate wording: two menu entries read the same"_s);
            break;
        }
    }
}

QString kindName(FindingKind kind) {
    return kind == FindingKind::Error ? u"error"_s : u"warning"_s;
}

QString scriptName(FindingScript script) {
    switch (script) {
    case FindingScript::SmartKey:
        return u"smartkey"_s;
    case FindingScript::SmartFlow:
        return u"smartflow"_s;
    case FindingScript::Both:
        return u"both"_s;
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

void checkAirline(const AirlineRecord& airline, const ConditionList& conditions, const CheckSettings& settings,
                  ScriptFindings& findings) {
    AirlineFindings found(airline, findings);
    // One condition is entered at once; any other number makes a menu that shows the
    // airline, its comment and the wordings.
    const bool menu = conditions.size() != 1;
    const EntryRule rule = menu ? EntryRule::Menu : EntryRule::SingleCondition;

    found.addShown(true, true, nullptr, u"AirCode"_s, airline.airCode);
    found.addShown(menu, true, nullptr, u"AccCode"_s, airline.accCode);
    found.addShown(menu, true, nullptr, u"AirName"_s, airline.airName);
    found.addShown(menu, menu, nullptr, u"Comment"_s, airline.comment);
    for (const auto& [field, text] :
         {std::pair{u"AirCode"_s, &airline.airCode}, std::pair{u"AccCode"_s, &airline.accCode},
          std::pair{u"AirName"_s, &airline.airName}}) {
        if (text->contains(u','))
            found.add(FindingKind::Error, FindingScript::SmartFlow, nullptr, field, *text,
                      u"splits the Smart Flow airline list"_s);
    }

    for (const ConditionRecord& condition : conditions) {
        if (menu) {
            found.addShown(true, true, &condition, u"ComCondition"_s, condition.comCondition);
            found.addShown(false, !condition.comVal.isEmpty(), &condition, u"ComVal"_s, condition.comVal);
        }
        if (settings.withRemarks)
            found.addCommand(condition, u"Remarks"_s, condition.remarks);
        if (chooseEntry(condition, rule) == CommissionEntry::Conversion) {
            found.addCommand(condition, u"ComVal"_s, condition.comVal);
            checkConversion(condition, settings.rates, found);
        }
    }
    if (menu)
        checkWordings(conditions, found);
}

void checkPrefix(const QString& prefix, ScriptFindings& findings) {
    // Commands in the prefix are its purpose; only brackets that do not pair up break it.
    if (bracketsOf(prefix) == Brackets::Unpaired)
        findings.append({FindingKind::Error,
                         FindingScript::SmartKey,
                         {},
                         std::nullopt,
                         std::nullopt,
                         u"prefix"_s,
                         prefix,
                         kUnpairedEffect});
}

ScriptCheck::ScriptCheck(CheckSettings settings)
    : m_settings(std::move(settings)) {
    checkPrefix(m_settings.prefix, m_findings);
}

void ScriptCheck::addAirline(const AirlineRecord& airline, const ConditionList& conditions) {
    if (!airline.script)
        return;
    checkAirline(airline, conditions, m_settings, m_findings);

    AirlineFindings found(airline, m_findings);
    if (m_branchCodes.contains(airline.airCode))
        found.add(FindingKind::Warning, FindingScript::SmartKey, nullptr, u"AirCode"_s, airline.airCode,
                  u"duplicate code %1: only the first is reachable"_s.arg(airline.airCode));
    else
        m_branchCodes.insert(airline.airCode);

    // The Smart Flow tests the chosen entry in every block: two airlines with one entry
    // both have their commission entered.
    const QString key = smartFlowAirlineKey(airline);
    if (m_flowKeys.contains(key))
        found.add(FindingKind::Error, FindingScript::SmartFlow, nullptr, u"AirName"_s, airline.airName,
                  u"duplicate Smart Flow entry %1: the blocks of both airlines run"_s.arg(key));
    else
        m_flowKeys.insert(key);
}

QString findingLine(const ScriptFinding& finding) {
    return QStringList{kindName(finding.kind),
                       scriptName(finding.script),
                       oneLine(finding.airCode),
                       numberOrEmpty(finding.airlineId),
                       numberOrEmpty(finding.conditionId),
                       finding.field,
                       oneLine(finding.text),
                       oneLine(finding.effect)}
        .join(u'\t');
}

} // namespace tarvex
