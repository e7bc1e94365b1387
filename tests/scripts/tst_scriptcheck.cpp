#include "generation/findingtext.h"
#include "generation/scriptcheck.h"
#include "generation/showntext.h"
#include "generation/smartflowscript.h"
#include "generation/smartkeyscript.h"
#include "testregisters.h"

#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

AirlineRecord airline(std::int32_t id, const QString& code, const QString& name, const QString& comment = {}) {
    AirlineRecord record;
    record.id = id;
    record.airCode = code;
    record.accCode = u"111"_s;
    record.airName = name;
    record.comment = comment;
    record.script = true;
    return record;
}

ConditionRecord percent(std::int32_t id, const QString& wording, const char* percentage, const QString& remarks = {}) {
    ConditionRecord condition;
    condition.id = id;
    condition.comCondition = wording;
    condition.comPct = Decimal4::parse(QString::fromLatin1(percentage));
    condition.remarks = remarks;
    return condition;
}

ConditionRecord sum(std::int32_t id, const QString& wording, std::optional<std::int16_t> amount,
                    const QString& currency, std::optional<std::uint16_t> valLen = std::nullopt) {
    ConditionRecord condition;
    condition.id = id;
    condition.comCondition = wording;
    condition.comSum = amount;
    condition.comVal = currency;
    condition.valLen = valLen;
    return condition;
}

// Two plain conditions, so that the airline gets a menu.
ConditionList menu(const QString& wording = u"эконом"_s) {
    return {percent(11, wording, "3"), percent(12, u"бизнес"_s, "5")};
}

ScriptFindings checked(const Register& airlines, const CheckSettings& settings) {
    ScriptCheck check(settings);
    walk(check, airlines);
    return check.findings();
}

QStringList lines(const ScriptFindings& findings) {
    QStringList result;
    for (const ScriptFinding& finding : findings)
        result << findingLine(finding);
    return result;
}

const QString kKeyShown = u"в Smart Key это стало бы командой; в скрипт записано: "_s;
const QString kFlowShown = u"в подсказке Smart Flow это стало бы разметкой HTML; в скрипт записано: "_s;
const QString kUnpaired = u"непарная скобка < или > ломает команды Smart Key: скрипт Smart Key не будет записан"_s;
const QString kComma = u"запятая разделила бы список авиакомпаний Smart Flow; в скрипт записано: , → \u201A (U+201A)"_s;
const QString kDuplicateWording = u"такая же формулировка уже есть: два пункта меню читаются одинаково"_s;

AirlineRecord leftOut(AirlineRecord record) {
    record.script = false;
    return record;
}

} // namespace

Q_DECLARE_METATYPE(tarvex::ScriptFinding)

class TestScriptCheck : public QObject {
    Q_OBJECT

private slots:
    void findsEveryKind_data();
    void findsEveryKind();
    void neutralisesShownTexts_data();
    void neutralisesShownTexts();
    void keepsCommandTexts();
    void findingLineKeepsOneLine();
    void findingTextForTheAgent_data();
    void findingTextForTheAgent();
    void messageListsErrorsFirstAndStaysShort();
    void roughRates_data();
    void roughRates();
};

void TestScriptCheck::findsEveryKind_data() {
    QTest::addColumn<Register>("airlines");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("withRemarks");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("clean register") << prefixExample() << u"<CLEAR><EOS>RT<SEND>"_s << true << QStringList();
    QTest::newRow("airline left out of the scripts")
        << Register{{leftOut(airline(1, u"XA"_s, u"Evil<XE ALL<SEND>>"_s)), menu()}} << u"<A"_s << true
        << QStringList{u"error\tsmartkey\t\t\t\tprefix\t<A\t"_s + kUnpaired};

    QTest::newRow("name in a menu") << Register{{airline(1, u"XA"_s, u"Evil<XE ALL<SEND>>"_s), menu()}} << QString()
                                    << true
                                    << QStringList{u"warning\tsmartkey\tXA\t1\t\tAirName\tEvil<XE ALL<SEND>>\t"_s +
                                                       kKeyShown + u"< → \u2039, > → \u203A"_s,
                                                   u"warning\tsmartflow\tXA\t1\t\tAirName\tEvil<XE ALL<SEND>>\t"_s +
                                                       kFlowShown + u"< → \u2039, > → \u203A"_s};
    QTest::newRow("name of a single condition: the Smart Key does not show it")
        << Register{{airline(1, u"XA"_s, u"A<B"_s), {percent(11, u"все"_s, "5")}}} << QString() << true
        << QStringList{u"warning\tsmartflow\tXA\t1\t\tAirName\tA<B\t"_s + kFlowShown + u"< → \u2039"_s};
    QTest::newRow("ampersand: only HTML")
        << Register{{airline(1, u"XA"_s, u"Alpha & Co"_s), menu()}} << QString() << true
        << QStringList{u"warning\tsmartflow\tXA\t1\t\tAirName\tAlpha & Co\t"_s + kFlowShown + u"& → \uFF06"_s};
    QTest::newRow("code, comment and wording")
        << Register{{airline(1, u"X>"_s, u"Alpha"_s, u"см. >"_s), menu(u"до <10 лет"_s)}} << QString() << true
        << QStringList{u"warning\tsmartkey\tX>\t1\t\tAirCode\tX>\t"_s + kKeyShown + u"> → \u203A"_s,
                       u"warning\tsmartflow\tX>\t1\t\tAirCode\tX>\t"_s + kFlowShown + u"> → \u203A"_s,
                       u"warning\tsmartkey\tX>\t1\t\tComment\tсм. >\t"_s + kKeyShown + u"> → \u203A"_s,
                       u"warning\tsmartflow\tX>\t1\t\tComment\tсм. >\t"_s + kFlowShown + u"> → \u203A"_s,
                       u"warning\tsmartkey\tX>\t1\t11\tComCondition\tдо <10 лет\t"_s + kKeyShown + u"< → \u2039"_s,
                       u"warning\tsmartflow\tX>\t1\t11\tComCondition\tдо <10 лет\t"_s + kFlowShown + u"< → \u2039"_s};

    QTest::newRow("remarks with paired brackets")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s), {percent(11, u"все"_s, "5", u"RM A;<CLEAR>"_s)}}} << QString()
        << true
        << QStringList{u"warning\tsmartkey\tXA\t1\t11\tRemarks\tRM A;<CLEAR>\tSmart Key выполнит текст в скобках < > "
                       u"как свою команду"_s};
    QTest::newRow("remarks with an unpaired bracket")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s), {percent(11, u"все"_s, "5", u"RM A>B"_s)}}} << QString() << true
        << QStringList{u"error\tsmartkey\tXA\t1\t11\tRemarks\tRM A>B\t"_s + kUnpaired};
    QTest::newRow("remarks not written") << Register{{airline(1, u"XA"_s, u"Alpha"_s),
                                                      {percent(11, u"все"_s, "5", u"RM A>B"_s)}}}
                                         << QString() << false << QStringList();
    QTest::newRow("currency with an unpaired bracket")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s), {sum(11, u"все"_s, 1, u"<EU"_s, 4)}}} << QString() << true
        << QStringList{
               u"error\tsmartkey\tXA\t1\t11\tComVal\t<EU\t"_s + kUnpaired,
               u"warning\tboth\tXA\t1\t11\tComVal\t<EU\tнет примерного курса <EU: не проверить, хватит ли ValLen 4 "
               u"на сумму в рублях"_s};
    QTest::newRow("prefix with an unpaired bracket")
        << prefixExample() << u"<CLEAR><EOS>RT<SEND"_s << true
        << QStringList{u"error\tsmartkey\t\t\t\tprefix\t<CLEAR><EOS>RT<SEND\t"_s + kUnpaired};

    QTest::newRow("comma in the name, code and IATA code")
        << Register{{airline(1, u"X,"_s, u"Air Astana, JSC"_s), {percent(11, u"все"_s, "5")}}} << QString() << true
        << QStringList{u"warning\tsmartflow\tX,\t1\t\tAirCode\tX,\t"_s + kComma,
                       u"warning\tsmartflow\tX,\t1\t\tAirName\tAir Astana, JSC\t"_s + kComma};
    QTest::newRow("names that differ only by a comma and its look-alike")
        << Register{{airline(1, u"KC"_s, u"Air Astana, JSC"_s), {percent(11, u"все"_s, "5")}},
                    {airline(2, u"KZ"_s, u"Air Astana, JSC"_s), {percent(21, u"все"_s, "3")}},
                    {airline(3, u"KZ"_s, u"Air Astana\u201A JSC"_s), {percent(31, u"все"_s, "3")}}}
        << QString() << true
        << QStringList{u"error\tsmartflow\tKZ\t3\t\tAirName\tAir Astana\u201A JSC\tв списке Smart Flow уже есть "
                       u"«KZ (111) Air Astana\u201A JSC»: при выборе сработают блоки обеих авиакомпаний"_s,
                       u"warning\tsmartflow\tKC\t1\t\tAirName\tAir Astana, JSC\t"_s + kComma,
                       u"warning\tsmartflow\tKZ\t2\t\tAirName\tAir Astana, JSC\t"_s + kComma,
                       u"warning\tsmartkey\tKZ\t3\t\tAirCode\tKZ\tкод KZ уже есть выше: в Smart Key выбрать можно "
                       u"только первую авиакомпанию с ним"_s};
    QTest::newRow("duplicate code")
        << Register{{airline(1, u"SU"_s, u"Аэрофлот"_s), {percent(11, u"все"_s, "5")}},
                    {airline(2, u"SU"_s, u"Аэрофлот-Дон"_s), {percent(21, u"все"_s, "3")}}}
        << QString() << true
        << QStringList{u"warning\tsmartkey\tSU\t2\t\tAirCode\tSU\tкод SU уже есть выше: в Smart Key выбрать можно "
                       u"только первую авиакомпанию с ним"_s};
    QTest::newRow("duplicate Smart Flow entry")
        << Register{{airline(1, u"SU"_s, u"Аэрофлот"_s), {percent(11, u"все"_s, "5")}},
                    {airline(2, u"SU"_s, u"Аэрофлот "_s), {percent(21, u"все"_s, "3")}}}
        << QString() << true
        << QStringList{u"error\tsmartflow\tSU\t2\t\tAirName\tАэрофлот \tв списке Smart Flow уже есть «SU (111) "
                       u"Аэрофлот»: при выборе сработают блоки обеих авиакомпаний"_s,
                       u"warning\tsmartkey\tSU\t2\t\tAirCode\tSU\tкод SU уже есть выше: в Smart Key выбрать можно "
                       u"только первую авиакомпанию с ним"_s};
    QTest::newRow("duplicate wording")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s),
                     {percent(11, u"эконом"_s, "3"), percent(12, u"эконом "_s, "3"), percent(13, u"эконом"_s, "4")}}}
        << QString() << true
        << QStringList{u"warning\tboth\tXA\t1\t12\tComCondition\tэконом \t"_s + kDuplicateWording,
                       u"warning\tsmartkey\tXA\t1\t13\tComCondition\tэконом\t"_s + kDuplicateWording};

    QTest::newRow("capture length too short")
        << Register{{airline(1, u"EK"_s, u"Emirates"_s), {sum(11, u"эконом"_s, 20, u"USD"_s, 0)}}} << QString() << true
        << QStringList{u"warning\tboth\tEK\t1\t11\tValLen\t0\tValLen 2 берёт 2 из 4 цифр суммы 20 USD в рублях (около "
                       u"1800): в бронь уйдёт FM18A"_s};
    QTest::newRow("capture length of 3 for a five-digit amount")
        << Register{{airline(1, u"EK"_s, u"Emirates"_s), {sum(11, u"эконом"_s, 150, u"EUR"_s, 3)}}} << QString() << true
        << QStringList{u"warning\tboth\tEK\t1\t11\tValLen\t3\tValLen 3 берёт 3 из 5 цифр суммы 150 EUR в рублях "
                       u"(около 15000): в бронь уйдёт FM150A"_s};
    QTest::newRow("capture length that fits, roubles and percentages")
        << Register{{airline(1, u"EK"_s, u"Emirates"_s),
                     {sum(11, u"эконом"_s, 20, u"USD"_s, 4), sum(12, u"бизнес"_s, 99, u"EUR"_s, 4),
                      sum(13, u"рубли"_s, 30000, u"RUB"_s), percent(14, u"прочее"_s, "1")}}}
        << QString() << true << QStringList();
    QTest::newRow("currency without a rate")
        << Register{{airline(1, u"BA"_s, u"British"_s), {sum(11, u"все"_s, 50, u"GBP"_s, 6)}}} << QString() << true
        << QStringList{
               u"warning\tboth\tBA\t1\t11\tComVal\tGBP\tнет примерного курса GBP: не проверить, хватит ли ValLen 6 "
               u"на сумму в рублях"_s};
    QTest::newRow("neither percentage nor currency")
        << Register{{airline(1, u"XD"_s, u"Delta"_s), {sum(11, u"без комиссии"_s, std::nullopt, {})}}} << QString()
        << true
        << QStringList{u"warning\tboth\tXD\t1\t11\tComSum\t\tнет суммы: в бронь уйдёт FQC/RUB без суммы, "
                       u"пересчитывать нечего"_s};

    const QString runTogether = u"Smart Flow уберёт перенос строки, и слова сольются: «%1»"_s;
    QTest::newRow("line breaks in the name and a menu wording")
        << Register{{airline(1, u"XA"_s, u"Alpha\r\nAir"_s), menu(u"вылет из Москвы\nэконом"_s)}} << QString() << true
        << QStringList{u"warning\tsmartflow\tXA\t1\t\tAirName\tAlpha\\r\\nAir\t"_s + runTogether.arg(u"AlphaAir"_s),
                       u"warning\tsmartflow\tXA\t1\t11\tComCondition\tвылет из Москвы\\nэконом\t"_s +
                           runTogether.arg(u"Москвыэконом"_s)};
    QTest::newRow("line breaks that glue nothing")
        << Register{{airline(1, u"XA"_s, u"Alpha \nAir\n"_s), menu(u"вылет из Москвы\n эконом"_s)},
                    {airline(2, u"XB"_s, u"Beta"_s), {percent(21, u"один\nусловие"_s, "5")}}}
        << QString() << true << QStringList();

    const QString csvOne = u"в кодировке списка CSV (Windows-1251) нет знака %1: в списке он станет «?»"_s;
    QTest::newRow("characters the CSV list cannot hold, also out of the scripts")
        << Register{{leftOut(airline(1, u"XA"_s, u"Alpha \u2708 Air \u2708"_s)), {}},
                    {airline(2, u"XB"_s, u"Beta \U0001F6EB \u00E9"_s), {percent(21, u"все"_s, "5")}}}
        << QString() << true
        << QStringList{u"warning\tcsv\tXA\t1\t\tAirName\tAlpha \u2708 Air \u2708\t"_s + csvOne.arg(u"«\u2708»"_s),
                       u"warning\tcsv\tXB\t2\t\tAirName\tBeta \U0001F6EB \u00E9\tв кодировке списка CSV "
                       u"(Windows-1251) нет знаков «\U0001F6EB», «\u00E9»: в списке они станут «?»"_s};
    QTest::newRow("Cyrillic, ё, № and the look-alikes fit the CSV list")
        << Register{{airline(1, u"XA"_s, u"Ёлка № 1 \u2039\u203A\u201A"_s), {percent(11, u"все"_s, "5")}}} << QString()
        << true << QStringList();
    QTest::newRow("errors before warnings")
        << Register{{airline(1, u"XA"_s, u"A<B"_s), {percent(11, u"все"_s, "5", u"RM A>B"_s)}}} << QString() << true
        << QStringList{u"error\tsmartkey\tXA\t1\t11\tRemarks\tRM A>B\t"_s + kUnpaired,
                       u"warning\tsmartflow\tXA\t1\t\tAirName\tA<B\t"_s + kFlowShown + u"< → \u2039"_s};
}

void TestScriptCheck::findsEveryKind() {
    QFETCH(Register, airlines);
    QFETCH(QString, prefix);
    QFETCH(bool, withRemarks);
    QFETCH(QStringList, expected);

    const CheckSettings settings{prefix, withRemarks, RoughRates()};
    QCOMPARE(lines(checked(airlines, settings)), expected);

    // A run that writes one output checks only for it, and finds all that concerns it.
    HeldFindings every;
    ScriptCheck checkEvery(settings, every);
    walk(checkEvery, airlines);
    for (FindingScript written : {FindingScript::SmartKey, FindingScript::SmartFlow, FindingScript::AirlineList}) {
        HeldFindings concerning;
        ScriptCheck checkOne(settings, concerning, written);
        walk(checkOne, airlines);
        ScriptFindings expectedForOne;
        for (const ScriptFinding& finding : std::as_const(every.findings)) {
            if (finding.concerns(written))
                expectedForOne << finding;
        }
        QCOMPARE(lines(concerning.findings), lines(expectedForOne));
    }
}

void TestScriptCheck::neutralisesShownTexts_data() {
    QTest::addColumn<Register>("airlines");
    QTest::addColumn<QByteArray>("smartKeyBytes");
    QTest::addColumn<QByteArray>("smartFlowBytes");

    QTest::newRow("name that would delete the booking's elements")
        << Register{{airline(1, u"XA"_s, u"Evil<XE ALL<SEND>>"_s), menu()}}
        << QByteArray("XA<<?111 Evil\xE2\x80\xB9XE ALL\xE2\x80\xB9SEND\xE2\x80\xBA\xE2\x80\xBA\r\n")
        << QByteArray("\"XA (111) Evil\xE2\x80\xB9XE ALL\xE2\x80\xB9SEND\xE2\x80\xBA\xE2\x80\xBA\"");
    QTest::newRow("comment and ampersand")
        << Register{{airline(1, u"XA"_s, u"A&B"_s, u"<b>VIP</b> & \"Co\""_s), menu()}}
        << QByteArray("XA<<?111 A&B\r\n\xE2\x80\xB9"
                      "b\xE2\x80\xBAVIP\xE2\x80\xB9/b\xE2\x80\xBA & \"Co\"\r\n")
        << QByteArray("<font color=\\\"blue\\\">\xE2\x80\xB9"
                      "b\xE2\x80\xBAVIP\xE2\x80\xB9/b\xE2\x80\xBA \xEF\xBC\x86 "
                      "\\\"Co\\\"</font>");
    QTest::newRow("wording") << Register{{airline(1, u"XA"_s, u"Alpha"_s), menu(u"<10 лет & >2"_s)}}
                             << QByteArray("1 - \xE2\x80\xB9"
                                           "10 \xD0\xBB\xD0\xB5\xD1\x82 & \xE2\x80\xBA"
                                           "2\r\n")
                             << QByteArray("when(\" - 3% - \xE2\x80\xB9"
                                           "10 \xD0\xBB\xD0\xB5\xD1\x82 \xEF\xBC\x86 \xE2\x80\xBA"
                                           "2\"){");
    // The comma is written as its look-alike in the list, the test and the heading alike.
    QTest::newRow("comma in the Smart Flow key")
        << Register{{airline(1, u"KC"_s, u"Air Astana, JSC"_s), menu()}} << QByteArray("KC<<?111 Air Astana, JSC\r\n")
        << QByteArray("\" from \",KC (111) Air Astana\xE2\x80\x9A JSC\" assign to airline "
                      "if(airline==\"KC (111) Air Astana\xE2\x80\x9A JSC\"){"
                      "choose \"<h1>KC (111) Air Astana\xE2\x80\x9A JSC</h1>");
    QTest::newRow("code in the branch key and the menu variable")
        << Register{{airline(1, u"X>"_s, u"Alpha"_s), menu()}} << QByteArray("<if<@mX\xE2\x80\xBA=1>then")
        << QByteArray("if(airline==\"X\xE2\x80\xBA (111) Alpha\"){");
}

void TestScriptCheck::neutralisesShownTexts() {
    QFETCH(Register, airlines);
    QFETCH(QByteArray, smartKeyBytes);
    QFETCH(QByteArray, smartFlowBytes);

    SmartKeyScript smartKey(QString(), true, u"09.12.2024"_s);
    walk(smartKey, airlines);
    const QByteArray smartKeyFile = smartKey.finish();
    QVERIFY2(smartKeyFile.contains(smartKeyBytes), smartKeyFile.constData());

    SmartFlowScript smartFlow(true);
    walk(smartFlow, airlines);
    const QByteArray smartFlowFile = smartFlow.finish(u"09.12.2024"_s);
    QVERIFY2(smartFlowFile.contains(smartFlowBytes), smartFlowFile.constData());
}

void TestScriptCheck::keepsCommandTexts() {
    // Remarks and the prefix are Amadeus entries: their brackets are meant and stay.
    const Register airlines{{airline(1, u"XA"_s, u"Alpha"_s), {percent(11, u"все"_s, "5", u"RM <A> & B"_s)}}};
    SmartKeyScript smartKey(u"<CLEAR>"_s, true, u"09.12.2024"_s);
    walk(smartKey, airlines);
    QVERIFY(smartKey.finish().contains("XA<<CLEAR>FM5;RM <A> & B<SEND>>"));

    SmartFlowScript smartFlow(true);
    walk(smartFlow, airlines);
    QVERIFY(smartFlow.finish(u"09.12.2024"_s).contains("send \"FM5;RM <A> & B\""));
}

void TestScriptCheck::findingLineKeepsOneLine() {
    ScriptFinding finding;
    finding.airCode = u"XA"_s;
    finding.airlineId = 7;
    finding.field = u"Comment"_s;
    finding.text = u"a\tb\r\nc\\<"_s;
    finding.effect = u"e"_s;
    QCOMPARE(findingLine(finding), u"warning\tboth\tXA\t7\t\tComment\ta\\tb\\r\\nc\\\\<\te"_s);
}

void TestScriptCheck::findingTextForTheAgent_data() {
    QTest::addColumn<ScriptFinding>("finding");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text as typed")
        << ScriptFinding{FindingKind::Error, FindingScript::SmartFlow, u"KC"_s, 1, std::nullopt, u"AirName"_s,
                         u"A, B"_s,          u"запятая разделила бы"_s}
        << u"Ошибка · KC · Название (AirName) «A, B»: запятая разделила бы"_s;
    QTest::newRow("empty value left out")
        << ScriptFinding{FindingKind::Warning,           FindingScript::Both, u"EK"_s, 1, 7, u"ValLen"_s, QString(),
                         u"ValLen 2 берёт 2 из 4 цифр"_s}
        << u"Предупреждение · EK · Длина (ValLen): ValLen 2 берёт 2 из 4 цифр"_s;
    QTest::newRow("line ends and no code")
        << ScriptFinding{FindingKind::Error, FindingScript::SmartKey, QString(),           std::nullopt, std::nullopt,
                         u"prefix"_s,        u"<A\r\nB\nC"_s,         u"непарная скобка"_s}
        << u"Ошибка · — · Префикс Smart Key (prefix) «<A B C»: непарная скобка"_s;
}

void TestScriptCheck::findingTextForTheAgent() {
    QFETCH(ScriptFinding, finding);
    QFETCH(QString, expected);
    QCOMPARE(findingText(finding), expected);
}

void TestScriptCheck::messageListsErrorsFirstAndStaysShort() {
    ScriptFindings findings;
    for (int i = 0; i < 12; ++i)
        findings << ScriptFinding{FindingKind::Warning, FindingScript::Both, u"W%1"_s.arg(i), i,
                                  std::nullopt,         u"AirName"_s,        u"w"_s,          u"предупреждение"_s};
    findings << ScriptFinding{
        FindingKind::Error, FindingScript::SmartFlow, u"ER"_s, 99, std::nullopt, u"AirName"_s, u"e"_s, u"ошибка"_s};
    const QStringList lines = messageWithFindings(u"Скрипт не записан."_s, findings).split(u'\n');
    QCOMPARE(lines.size(), 13); // message, empty line, ten findings, how many are left out
    QCOMPARE(lines[0], u"Скрипт не записан."_s);
    QVERIFY(lines[1].isEmpty());
    QCOMPARE(lines[2], u"Ошибка · ER · Название (AirName) «e»: ошибка"_s);
    QVERIFY(lines[3].startsWith(u"Предупреждение · W0 ·"_s));
    QVERIFY(lines[11].startsWith(u"Предупреждение · W8 ·"_s));
    QVERIFY2(lines[12].contains(u"ещё замечаний: 3"_s), qPrintable(lines[12]));
}

void TestScriptCheck::roughRates_data() {
    QTest::addColumn<int>("rubPerEur");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<int>("expected"); // 0: no rate

    QTest::newRow("euro") << 100 << u"EUR"_s << 100;
    QTest::newRow("dollar in lower case") << 100 << u"usd"_s << 90;
    QTest::newRow("rouble typed in lower case") << 100 << u"rub"_s << 1;
    QTest::newRow("other currency") << 100 << u"GBP"_s << 0;
    QTest::newRow("empty currency") << 100 << QString() << 0;
    QTest::newRow("rate set to 0") << 0 << u"EUR"_s << 0;
}

void TestScriptCheck::roughRates() {
    QFETCH(int, rubPerEur);
    QFETCH(QString, currency);
    QFETCH(int, expected);

    RoughRates rates;
    rates.rubPerEur = rubPerEur;
    QCOMPARE(rates.of(currency).value_or(0), expected);
}

QTEST_GUILESS_MAIN(TestScriptCheck)
#include "tst_scriptcheck.moc"
