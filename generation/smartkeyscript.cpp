#include "smartkeyscript.h"

#include "outputfile.h"
#include "showntext.h"

#include <utility>

namespace tarvex {

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kItemEnd = u"\r\n";
constexpr QStringView kFinalItem = u">\r\n";

QString entryText(const ConditionRecord& condition, EntryRule rule) {
    switch (chooseEntry(condition, rule)) {
    case CommissionEntry::Percent:
        return u"FM"_s + percentText(condition.comPct);
    case CommissionEntry::Rouble:
        return u"FM"_s + condition.comSumText() + u"A;"_s;
    case CommissionEntry::Conversion:
        return u"FQC"_s + condition.comSumText() + condition.comVal + u"/RUB<SEND><GET,4,5,"_s +
               captureLength(condition) + u">FM<SET>A"_s;
    }
    Q_UNREACHABLE();
}

} // namespace

SmartKeyScript::SmartKeyScript(QString prefix, bool withRemarks, const QString& dateText)
    : m_prefix(std::move(prefix))
    , m_withRemarks(withRemarks)
    , m_pieces(utf8Of) {
    addItem({u"<CHOOSE <КОМИССИЯ АВИАКОМПАНИЙ-УЧАСТНИКОВ BSP"});
    addItem({u"\n==========================="});
    addItem({u"по состоянию на ", dateText});
    addItem({u"===========================\n"});
    addItem({u"Введите 2х-буквенный код валидирующей авиакомпании>"});
}

void SmartKeyScript::addAirline(const AirlineRecord& airline, const ConditionList& conditions) {
    if (!airline.script)
        return;
    if (conditions.size() == 1)
        addCommissionItem(shownInSmartKey(airline.airCode), conditions.front(), EntryRule::SingleCondition, u"<SEND>>");
    else
        addMenu(airline, conditions);
}

void SmartKeyScript::writeTo(OutputFile& file) {
    m_pieces.writeTo([&file](const QByteArray& bytes) { file.write(bytes); });
}

QByteArray SmartKeyScript::finish() {
    m_joiner.addText(kFinalItem);
    QString rest = m_joiner.finish();
    return m_pieces.finish(rest);
}

void SmartKeyScript::addItem(std::initializer_list<QStringView> parts) {
    // Every item ends with a line end, so joining item by item joins as the whole text would.
    m_item.resize(0);
    for (QStringView part : parts)
        m_item += part;
    m_item += kItemEnd;
    m_joiner.addText(m_item);
    m_pieces.passOn(m_joiner.joined());
}

void SmartKeyScript::addMenu(const AirlineRecord& airline, const ConditionList& conditions) {
    const QString code = shownInSmartKey(airline.airCode);
    addItem({code, u"<<?", shownInSmartKey(airline.accCode), u" ", shownInSmartKey(airline.airName), u"\n",
             shownInSmartKey(airline.comment), u"\nВыберите вариант:\n"});

    // The numbered list; the last number closes the question into the variable @m<code>.
    const QString variable = u"@m"_s + code;
    const qsizetype count = conditions.size();
    for (qsizetype i = 1; i < count; ++i)
        addItem({wholeNumberText(i), u" - ", shownInSmartKey(conditions[i - 1].comCondition)});
    const QString lastWording = count > 0 ? shownInSmartKey(conditions.back().comCondition) : QString();
    addItem({wholeNumberText(count), u" - ", lastWording, variable, u">"});

    for (qsizetype i = 1; i <= count; ++i) {
        addItem({u"<if<", variable, u"=", wholeNumberText(i), u">then"});
        addCommissionItem({}, conditions[i - 1], EntryRule::Menu, u"<SEND>>>");
    }
    addItem({u">"});
}

void SmartKeyScript::addCommissionItem(QStringView lead, const ConditionRecord& condition, EntryRule rule,
                                       QStringView ending) {
    addItem({lead, u"<", m_prefix, entryText(condition, rule), remarksPart(condition, m_withRemarks), ending});
}

} // namespace tarvex
