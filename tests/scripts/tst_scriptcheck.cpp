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

const QString kKeyShown = u"would run as a Smart Key command; written with \u2039 \u203A"_s;
const QString kFlowShown = u"would be read as HTML in the Smart Flow prompt; written with \u2039 \u203A \uFF06"_s;
const QString kUnpaired = u"unpaired < or > breaks the Smart Key's brackets: the Smart Key is not written"_s;

} // namespace

class TestScriptCheck : public QObject {
    Q_OBJECT

private slots:
    void findsEveryKind_data();
    void findsEveryKind();
    void neutralisesShownTexts_data();
    void neutralisesShownTexts();
    void keepsCommandTexts();
    void findingLineKeepsOneLine();
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
        << Register{{[] {
                         AirlineRecord left = airline(1, u"XA"_s, u"Evil<XE ALL<SEND>>"_s);
                         left.script = false;
                         return left;
                     }(),
                     menu()}}
        << u"<A"_s << true << QStringList{u"error\tsmartkey\t\t\t\tprefix\t<A\t"_s + kUnpaired};

    QTest::newRow("name in a menu")
        << Register{{airline(1, u"XA"_s, u"Evil<XE ALL<SEND>>"_s), menu()}} << QString() << true
        << QStringList{u"warning\tsmartkey\tXA\t1\t\tAirName\tEvil<XE ALL<SEND>>\t"_s + kKeyShown,
                       u"warning\tsmartflow\tXA\t1\t\tAirName\tEvil<XE ALL<SEND>>\t"_s + kFlowShown};
    QTest::newRow("name of a single condition: the Smart Key does not show it")
        << Register{{airline(1, u"XA"_s, u"A<B"_s), {percent(11, u"все"_s, "5")}}} << QString() << true
        << QStringList{u"warning\tsmartflow\tXA\t1\t\tAirName\tA<B\t"_s + kFlowShown};
    QTest::newRow("ampersand: only HTML")
        << Register{{airline(1, u"XA"_s, u"Alpha & Co"_s), menu()}} << QString() << true
        << QStringList{u"warning\tsmartflow\tXA\t1\t\tAirName\tAlpha & Co\t"_s + kFlowShown};
    QTest::newRow("code, comment and wording")
        << Register{{airline(1, u"X>"_s, u"Alpha"_s, u"см. >"_s), menu(u"до <10 лет"_s)}} << QString() << true
        << QStringList{u"warning\tsmartkey\tX>\t1\t\tAirCode\tX>\t"_s + kKeyShown,
                       u"warning\tsmartflow\tX>\t1\t\tAirCode\tX>\t"_s + kFlowShown,
                       u"warning\tsmartkey\tX>\t1\t\tComment\tсм. >\t"_s + kKeyShown,
                       u"warning\tsmartflow\tX>\t1\t\tComment\tсм. >\t"_s + kFlowShown,
                       u"warning\tsmartkey\tX>\t1\t11\tComCondition\tдо <10 лет\t"_s + kKeyShown,
                       u"warning\tsmartflow\tX>\t1\t11\tComCondition\tдо <10 лет\t"_s + kFlowShown};

    QTest::newRow("remarks with paired brackets")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s), {percent(11, u"все"_s, "5", u"RM A;<CLEAR>"_s)}}} << QString()
        << true << QStringList{u"warning\tsmartkey\tXA\t1\t11\tRemarks\tRM A;<CLEAR>\truns as Smart Key commands"_s};
    QTest::newRow("remarks with an unpaired bracket")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s), {percent(11, u"все"_s, "5", u"RM A>B"_s)}}} << QString() << true
        << QStringList{u"error\tsmartkey\tXA\t1\t11\tRemarks\tRM A>B\t"_s + kUnpaired};
    QTest::newRow("remarks not written") << Register{{airline(1, u"XA"_s, u"Alpha"_s),
                                                      {percent(11, u"все"_s, "5", u"RM A>B"_s)}}}
                                         << QString() << false << QStringList();
    QTest::newRow("currency with an unpaired bracket")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s), {sum(11, u"все"_s, 1, u"<EU"_s, 4)}}} << QString() << true
        << QStringList{u"error\tsmartkey\tXA\t1\t11\tComVal\t<EU\t"_s + kUnpaired,
                       u"warning\tboth\tXA\t1\t11\tComVal\t<EU\tno rough rate for <EU: cannot tell whether ValLen 4 "
                       u"captures the whole amount in roubles"_s};
    QTest::newRow("prefix with an unpaired bracket")
        << prefixExample() << u"<CLEAR><EOS>RT<SEND"_s << true
        << QStringList{u"error\tsmartkey\t\t\t\tprefix\t<CLEAR><EOS>RT<SEND\t"_s + kUnpaired};

    QTest::newRow("comma in the name")
        << Register{{airline(1, u"XA"_s, u"Альфа, ПАО"_s), {percent(11, u"все"_s, "5")}}} << QString() << true
        << QStringList{u"error\tsmartflow\tXA\t1\t\tAirName\tАльфа, ПАО\tsplits the Smart Flow airline list"_s};
    QTest::newRow("duplicate code")
        << Register{{airline(1, u"SU"_s, u"Аэрофлот"_s), {percent(11, u"все"_s, "5")}},
                    {airline(2, u"SU"_s, u"Аэрофлот-Дон"_s), {percent(21, u"все"_s, "3")}}}
        << QString() << true
        << QStringList{u"warning\tsmartkey\tSU\t2\t\tAirCode\tSU\tduplicate code SU: only the first is reachable"_s};
    QTest::newRow("duplicate Smart Flow entry")
        << Register{{airline(1, u"SU"_s, u"Аэрофлот"_s), {percent(11, u"все"_s, "5")}},
                    {airline(2, u"SU"_s, u"Аэрофлот "_s), {percent(21, u"все"_s, "3")}}}
        << QString() << true
        << QStringList{u"warning\tsmartkey\tSU\t2\t\tAirCode\tSU\tduplicate code SU: only the first is reachable"_s,
                       u"error\tsmartflow\tSU\t2\t\tAirName\tАэрофлот \tduplicate Smart Flow entry SU (111) Аэрофлот: "
                       u"the blocks of both airlines run"_s};
    QTest::newRow("duplicate wording")
        << Register{{airline(1, u"XA"_s, u"Alpha"_s),
                     {percent(11, u"эконом"_s, "3"), percent(12, u"эконом "_s, "3"), percent(13, u"эконом"_s, "4")}}}
        << QString() << true
        << QStringList{u"warning\tboth\tXA\t1\t12\tComCondition\tэконом \tduplicate wording: two menu entries read "
                       u"the same"_s,
                       u"warning\tsmartkey\tXA\t1\t13\tComCondition\tэконом\tduplicate wording: two menu entries read "
                       u"the same"_s};

    QTest::newRow("capture length too short")
        << Register{{airline(1, u"EK"_s, u"Emirates"_s), {sum(11, u"эконом"_s, 20, u"USD"_s, 0)}}} << QString() << true
        << QStringList{u"warning\tboth\tEK\t1\t11\tValLen\t0\tValLen 2 captures 2 of the 4 digits of 20 USD in "
                       u"roubles"_s};
    QTest::newRow("capture length that fits, roubles and percentages")
        << Register{{airline(1, u"EK"_s, u"Emirates"_s),
                     {sum(11, u"эконом"_s, 20, u"USD"_s, 4), sum(12, u"бизнес"_s, 99, u"EUR"_s, 4),
                      sum(13, u"рубли"_s, 30000, u"RUB"_s), percent(14, u"прочее"_s, "1")}}}
        << QString() << true << QStringList();
    QTest::newRow("currency without a rate")
        << Register{{airline(1, u"BA"_s, u"British"_s), {sum(11, u"все"_s, 50, u"GBP"_s, 6)}}} << QString() << true
        << QStringList{u"warning\tboth\tBA\t1\t11\tComVal\tGBP\tno rough rate for GBP: cannot tell whether ValLen 6 "
                       u"captures the whole amount in roubles"_s};
    QTest::newRow("neither percentage nor currency")
        << Register{{airline(1, u"XD"_s, u"Delta"_s), {sum(11, u"без комиссии"_s, std::nullopt, {})}}} << QString()
        << true << QStringList{u"warning\tboth\tXD\t1\t11\tComSum\t\tno sum: sends FQC/RUB, which converts nothing"_s};
}

void TestScriptCheck::findsEveryKind() {
    QFETCH(Register, airlines);
    QFETCH(QString, prefix);
    QFETCH(bool, withRemarks);
    QFETCH(QStringList, expected);

    QCOMPARE(lines(checked(airlines, {prefix, withRemarks, RoughRates()})), expected);
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
