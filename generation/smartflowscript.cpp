#include "smartflowscript.h"

#include "common/trim.h"
#include "outputfile.h"
#include "smartflowtext.h"

#include <initializer_list>

namespace tarvex {

namespace {

// The script's own texts. Their lengths are checked because the quotation marks and
// backslashes in them are easy to get wrong; \" in them is the script's own escape.
constexpr QStringView kS1 =
    uR"(select "<h1>КОМИССИЯ АВИАКОМПАНИЙ-УЧАСТНИКОВ BSP</h1><br><h2>===========================<br>по состоянию на <font color=\"red\">)";
constexpr QStringView kS2 =
    uR"(</font><br>===========================</h2><br><h2>Выберите валидирующую авиакомпанию</h2>" from ",)";
constexpr QStringView kS3 = uR"(" assign to airline )";
constexpr QStringView kI1 = uR"(if(airline==")";
constexpr QStringView kI2 = uR"("){)";
constexpr QStringView kC1 = uR"(send "FM)";
constexpr QStringView kC2 = u"A;";
constexpr QStringView kC3 = uR"(")";
constexpr QStringView kC4 = uR"(send "FQC)";
constexpr QStringView kC5 = uR"(/RUB")";
constexpr QStringView kC6 = u" capture line:4,column:5,length:";
constexpr QStringView kC7 = u" assign to ratedvalue ";
constexpr QStringView kC8 = uR"(send "FM"+ratedvalue+"A)";
constexpr QStringView kM1 = uR"(choose "<h1>)";
constexpr QStringView kM2 = u"</h1>";
constexpr QStringView kM3 = uR"(<br><h2><font color=\"blue\">)";
constexpr QStringView kM4 = u"</font></h2>";
constexpr QStringView kM5 = uR"(<br><h3>Выберите вариант:</h3>"{)";
constexpr QStringView kW1 = uR"(when(" - )";
constexpr QStringView kW2 = u" - ";
constexpr QStringView kW3 = u"%";
constexpr QStringView kE1 = u"}";
constexpr QStringView kLineEnd = u"\r\n";

static_assert(kS1.size() == 128 && kS2.size() == 99 && kS3.size() == 20);
static_assert(kI1.size() == 13 && kI2.size() == 3);
static_assert(kC1.size() == 8 && kC2.size() == 2 && kC3.size() == 1 && kC4.size() == 9 && kC5.size() == 5);
static_assert(kC6.size() == 32 && kC7.size() == 22 && kC8.size() == 23);
static_assert(kM1.size() == 12 && kM2.size() == 5 && kM3.size() == 29 && kM4.size() == 12 && kM5.size() == 32);
static_assert(kW1.size() == 9 && kW2.size() == 3 && kW3.size() == 1 && kE1.size() == 1);

QString concat(std::initializer_list<QStringView> parts) {
    qsizetype size = 0;
    for (QStringView part : parts)
        size += part.size();
    QString text;
    text.reserve(size);
    for (QStringView part : parts)
        text += part;
    return text;
}

// The comment shown under the airline in blue, its line breaks as HTML breaks.
QString commentText(const AirlineRecord& airline) {
    const QString comment = escapeFlowShownText(trimBlanksAndControls(airline.comment));
    QString text;
    qsizetype lineFrom = 0;
    for (qsizetype i = 0; i < comment.size(); ++i) {
        const QChar c = comment[i];
        if (c != u'\r' && c != u'\n')
            continue;
        text.append(QStringView(comment).sliced(lineFrom, i - lineFrom)).append(u"<br>");
        if (c == u'\r' && i + 1 < comment.size() && comment[i + 1] == u'\n')
            ++i;
        lineFrom = i + 1;
    }
    if (lineFrom == 0)
        return comment; // shared, not copied
    return text.append(QStringView(comment).sliced(lineFrom));
}

// The menu label of a condition: 7.5% or 50EUR.
QString conditionLabel(const ConditionRecord& condition) {
    if (condition.comVal.isEmpty())
        return concat({percentText(condition.comPct), kW3});
    return concat({condition.comSumText(), escapeFlowShownText(condition.comVal)});
}

} // namespace

SmartFlowScript::SmartFlowScript(bool withRemarks)
    : m_withRemarks(withRemarks)
    , m_pieces(utf8Of) {}

void SmartFlowScript::addAirline(const AirlineRecord& airline, const ConditionList& conditions) {
    if (!airline.script)
        return;
    // Keys are trimmed one by one, so the list needs no trim of its own.
    const QString key = smartFlowAirlineKey(airline);
    if (!m_keyList.isEmpty())
        m_keyList += ',';
    m_keyList += key.toUtf8();

    addItem({kI1, key, kI2});
    if (conditions.size() == 1)
        addCommandItems(conditions.front(), EntryRule::SingleCondition);
    else
        addMenu(key, airline, conditions);
    addItem({kE1});
    m_pieces.passOn(m_body);
}

void SmartFlowScript::writeTo(OutputFile& file) {
    m_file = &file;
    m_spool = std::make_unique<SpoolFile>(file);
    m_pieces.writeTo([this](const QByteArray& bytes) { m_spool->write(bytes); });
}

QByteArray SmartFlowScript::finish(const QString& dateText) {
    // The prompt names every airline, so it is composed once the walk is over.
    const QByteArray head = concat({kS1, dateText, kS2}).toUtf8() + m_keyList + kS3.toUtf8();
    m_body += kLineEnd;
    const QByteArray rest = m_pieces.finish(m_body);
    if (!m_file)
        return head + rest;
    m_file->write(head);
    m_spool->copyInto(*m_file);
    return {};
}

void SmartFlowScript::addItem(std::initializer_list<QStringView> pieces) {
    // Items stand on lines of their own until the body is flattened, and a line end
    // breaks a run of hyphens, so each item can be flattened as it comes. The body
    // begins with "if(" and ends with "}": trimming it would remove nothing.
    appendFlattened(m_body, pieces);
}

void SmartFlowScript::addMenu(const QString& key, const AirlineRecord& airline, const ConditionList& conditions) {
    addItem({kM1, key, kM2});
    addItem({kM3, commentText(airline), kM4});
    addItem({kM5});
    for (const ConditionRecord& condition : conditions) {
        addItem({kW1, conditionLabel(condition), kW2, escapeFlowShownText(condition.comCondition), kI2});
        addCommandItems(condition, EntryRule::Menu);
        addItem({kE1});
    }
    addItem({kE1});
}

void SmartFlowScript::addCommandItems(const ConditionRecord& condition, EntryRule rule) {
    const QString remarks = escapeFlowText(remarksPart(condition, m_withRemarks));
    switch (chooseEntry(condition, rule)) {
    case CommissionEntry::Percent:
        addItem({kC1, percentText(condition.comPct), remarks, kC3});
        break;
    case CommissionEntry::Rouble:
        addItem({kC1, condition.comSumText(), kC2, remarks, kC3});
        break;
    case CommissionEntry::Conversion:
        addItem({kC4, condition.comSumText(), escapeFlowText(condition.comVal), kC5});
        addItem({kC6, captureLength(condition), kC7});
        addItem({kC8, remarks, kC3});
        break;
    }
}

} // namespace tarvex
