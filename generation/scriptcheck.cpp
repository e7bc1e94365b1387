#include "scriptcheck.h"

#include "airlinelistcsv.h"
#include "commissionentry.h"
#include "inforce.h"
#include "showntext.h"
#include "smartflowtext.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kUnpairedEffect =
    u"непарная скобка < или > ломает команды Smart Key: скрипт Smart Key не будет записан"_s;

// "< → ‹, & → ＆": the characters of `markup` the text holds, each with the look-alike written for it.
QString writtenAs(QStringView text, QStringView markup) {
    QStringList pairs;
    for (QChar c : markup) {
        if (text.contains(c))
            pairs << u"%1 → %2"_s.arg(c, shownInSmartFlow(c));
    }
    return pairs.join(u", "_s);
}

// The words either side of the first line break that has no blank beside it: the Smart
// Flow drops line breaks, so they run together ("Москвы" and "эконом" give "Москвыэконом").
QString wordsRunTogether(QStringView text) {
    const auto isLineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    const auto isBlank = [&](QChar c) { return c.isSpace() || isLineEnd(c); };
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (!isLineEnd(text[i]) || isLineEnd(text[i - 1]))
            continue;
        qsizetype after = i;
        while (after < text.size() && isLineEnd(text[after]))
            ++after;
        if (after == text.size() || isBlank(text[i - 1]) || isBlank(text[after]))
            continue;
        qsizetype wordStart = i - 1;
        while (wordStart > 0 && !isBlank(text[wordStart - 1]))
            --wordStart;
        qsizetype wordEnd = after;
        while (wordEnd < text.size() && !isBlank(text[wordEnd]))
            ++wordEnd;
        return text.sliced(wordStart, i - wordStart).toString().append(text.sliced(after, wordEnd - after));
    }
    return {};
}

// Collects the findings of one airline with its code and id filled in: all of them, or those
// that concern the one output written.
class AirlineFindings {
public:
    AirlineFindings(const AirlineRecord& airline, ScriptFindings& findings,
                    std::optional<FindingScript> written = std::nullopt)
        : m_airline(airline)
        , m_findings(findings)
        , m_written(written) {}

    // Whether findings about the script are wanted: a check whose findings would be dropped is not run.
    bool wants(FindingScript script) const { return !m_written || findingsOfConcern(script, *m_written); }

    void add(FindingKind kind, FindingScript script, const ConditionRecord* condition, const QString& field,
             const QString& text, const QString& effect) {
        if (!wants(script))
            return;
        ScriptFinding finding{kind, script, m_airline.airCode, m_airline.id, std::nullopt, field, text, effect};
        if (condition)
            finding.conditionId = condition->id;
        m_findings.append(std::move(finding));
    }

    // A text only shown to the agent, which the writers neutralise.
    void addShown(bool inSmartKey, bool inSmartFlow, const ConditionRecord* condition, const QString& field,
                  const QString& text) {
        if (inSmartKey && wants(FindingScript::SmartKey) && hasSmartKeyMarkup(text))
            add(FindingKind::Warning, FindingScript::SmartKey, condition, field, text,
                u"в Smart Key это стало бы командой; в скрипт записано: %1"_s.arg(writtenAs(text, u"<>")));
        if (inSmartFlow && wants(FindingScript::SmartFlow) && hasSmartFlowMarkup(text))
            add(FindingKind::Warning, FindingScript::SmartFlow, condition, field, text,
                u"в подсказке Smart Flow это стало бы разметкой HTML; в скрипт записано: %1"_s.arg(
                    writtenAs(text, u"<>&")));
    }

    // A text the Smart Flow writes in one line: a line break in it glues two words.
    void addRunTogether(const ConditionRecord* condition, const QString& field, const QString& text) {
        if (!wants(FindingScript::SmartFlow))
            return;
        if (const QString glued = wordsRunTogether(text); !glued.isEmpty())
            add(FindingKind::Warning, FindingScript::SmartFlow, condition, field, text,
                u"Smart Flow уберёт перенос строки, и слова сольются: «%1»"_s.arg(glued));
    }

    // A text the Smart Key hands to Amadeus as it stands.
    void addCommand(const ConditionRecord& condition, const QString& field, const QString& text) {
        if (!wants(FindingScript::SmartKey))
            return;
        switch (bracketsOf(text)) {
        case Brackets::None:
            break;
        case Brackets::Paired:
            add(FindingKind::Warning, FindingScript::SmartKey, &condition, field, text,
                u"Smart Key выполнит текст в скобках < > как свою команду"_s);
            break;
        case Brackets::Unpaired:
            add(FindingKind::Error, FindingScript::SmartKey, &condition, field, text, kUnpairedEffect);
            break;
        }
    }

private:
    const AirlineRecord& m_airline;
    ScriptFindings& m_findings;
    std::optional<FindingScript> m_written;
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
                     u"нет суммы: в бронь уйдёт FQC%1/RUB без суммы, пересчитывать нечего"_s.arg(condition.comVal));
        return;
    }
    const std::optional<int> rate = rates.of(condition.comVal);
    if (!rate) {
        findings.add(FindingKind::Warning, FindingScript::Both, &condition, u"ComVal"_s, condition.comVal,
                     u"нет примерного курса %1: не проверить, хватит ли ValLen %2 на сумму в рублях"_s.arg(
                         condition.comVal, length));
        return;
    }
    const qint64 roubles = qint64(*condition.comSum) * *rate;
    const int digits = digitCount(roubles);
    if (digits > length.toInt()) {
        const QString valLen = condition.valLen ? wholeNumberText(*condition.valLen) : QString();
        const QString amount = wholeNumberText(std::llabs(roubles));
        findings.add(FindingKind::Warning, FindingScript::Both, &condition, u"ValLen"_s, valLen,
                     u"ValLen %1 берёт %1 из %2 цифр суммы %3 %4 в рублях (около %5): в бронь уйдёт FM%6A"_s.arg(
                         length, wholeNumberText(digits), condition.comSumText(), condition.comVal, amount,
                         amount.left(length.toInt())));
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
                         u"такая же формулировка уже есть: два пункта меню читаются одинаково"_s);
            break;
        }
    }
}

// The airline as both scripts write it.
void checkScripts(const AirlineRecord& airline, const ConditionList& conditions, const CheckSettings& settings,
                  AirlineFindings& found) {
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
            found.add(FindingKind::Warning, FindingScript::SmartFlow, nullptr, field, *text,
                      u"запятая разделила бы список авиакомпаний Smart Flow; в скрипт записано: , → %1 (U+201A)"_s.arg(
                          kShownComma));
        found.addRunTogether(nullptr, field, *text);
    }

    for (const ConditionRecord& condition : conditions) {
        if (menu) {
            found.addShown(true, true, &condition, u"ComCondition"_s, condition.comCondition);
            found.addRunTogether(&condition, u"ComCondition"_s, condition.comCondition);
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

// The fields of the CSV list, which is written in Windows-1251 for every airline.
void checkListCharacters(const AirlineRecord& airline, AirlineFindings& found) {
    if (!found.wants(FindingScript::AirlineList))
        return;
    for (const auto& [field, text] :
         {std::pair{u"AirCode"_s, &airline.airCode}, std::pair{u"AirName"_s, &airline.airName},
          std::pair{u"AccCode"_s, &airline.accCode}}) {
        const QStringList lacking = lackingInWindows1251(*text);
        if (lacking.isEmpty())
            continue;
        const QString characters = u"«"_s + lacking.join(u"», «"_s) + u"»"_s;
        found.add(
            FindingKind::Warning, FindingScript::AirlineList, nullptr, field, *text,
            lacking.size() == 1
                ? u"в кодировке списка CSV (Windows-1251) нет знака %1: в списке он станет «?»"_s.arg(characters)
                : u"в кодировке списка CSV (Windows-1251) нет знаков %1: в списке они станут «?»"_s.arg(characters));
    }
}

// An airline whose every condition is out of force on the day: the scripts leave it out.
void checkOutOfForce(const ConditionList& conditions, QDate day, AirlineFindings& found) {
    const bool allEnded = std::all_of(conditions.begin(), conditions.end(), [day](const ConditionRecord& condition) {
        return !condition.validTill.isNull() && condition.validTill < day;
    });
    found.add(
        FindingKind::Warning, FindingScript::Both, nullptr, allEnded ? u"ComTill"_s : u"ComFrom"_s, {},
        u"ни одно условие не действует на %1: авиакомпании не будет в скриптах"_s.arg(day.toString(u"dd.MM.yyyy"_s)));
}

void checkAirlineItself(const AirlineRecord& airline, const ConditionList& conditions, const CheckSettings& settings,
                        AirlineFindings& found) {
    if (airline.script)
        checkScripts(airline, conditions, settings, found);
    checkListCharacters(airline, found);
}

} // namespace

ScriptFindings errorsFirst(ScriptFindings findings) {
    std::stable_partition(findings.begin(), findings.end(),
                          [](const ScriptFinding& finding) { return finding.kind == FindingKind::Error; });
    return findings;
}

bool hasErrors(const ScriptFindings& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const ScriptFinding& finding) { return finding.kind == FindingKind::Error; });
}

void checkAirline(const AirlineRecord& airline, const ConditionList& conditions, const CheckSettings& settings,
                  ScriptFindings& findings) {
    AirlineFindings found(airline, findings);
    checkAirlineItself(airline, conditions, settings, found);
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
    : ScriptCheck(std::move(settings), m_held) {}

ScriptCheck::ScriptCheck(CheckSettings settings, FindingReceiver& receiver, std::optional<FindingScript> written)
    : m_settings(std::move(settings))
    , m_receiver(receiver)
    , m_written(written) {
    if (!m_written || findingsOfConcern(FindingScript::SmartKey, *m_written))
        checkPrefix(m_settings.prefix, m_found);
    passOn();
}

void ScriptCheck::passOn() {
    for (const ScriptFinding& finding : std::as_const(m_found))
        m_receiver.receive(finding);
    m_found.clear(); // keeps its room for the next airline
}

void ScriptCheck::addAirline(const AirlineRecord& airline, const ConditionList& conditions) {
    checkOne(airline, conditions);
    passOn();
}

void ScriptCheck::checkOne(const AirlineRecord& airline, const ConditionList& conditions) {
    const std::optional<ConditionList> inForce = conditionsInForce(conditions, m_settings.onDay);
    AirlineFindings found(airline, m_found, m_written);
    if (!inForce) {
        checkOutOfForce(conditions, m_settings.onDay, found);
        checkListCharacters(airline, found);
        return;
    }
    checkAirlineItself(airline, *inForce, m_settings, found);
    if (!airline.script)
        return;

    if (found.wants(FindingScript::SmartKey)) {
        if (m_branchCodes.contains(airline.airCode))
            found.add(FindingKind::Warning, FindingScript::SmartKey, nullptr, u"AirCode"_s, airline.airCode,
                      u"код %1 уже есть выше: в Smart Key выбрать можно только первую авиакомпанию с ним"_s.arg(
                          airline.airCode));
        else
            m_branchCodes.insert(airline.airCode);
    }

    // The Smart Flow tests the chosen entry in every block: two airlines with one entry
    // both have their commission entered.
    if (found.wants(FindingScript::SmartFlow)) {
        const QString key = smartFlowAirlineKey(airline);
        if (m_flowKeys.contains(key))
            found.add(FindingKind::Error, FindingScript::SmartFlow, nullptr, u"AirName"_s, airline.airName,
                      u"в списке Smart Flow уже есть «%1»: при выборе сработают блоки обеих авиакомпаний"_s.arg(key));
        else
            m_flowKeys.insert(key);
    }
}

} // namespace tarvex
