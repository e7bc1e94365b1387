#include "testregisters.h"

#include <QFile>

namespace tarvex::test {

using namespace Qt::StringLiterals;

namespace {

const QString kSeparator36 = QString(36, u'-');
const QString kSeparator40 = QString(40, u'-');

AirlineRecord airline(const QString& code, const QString& accCode, const QString& name, const QString& comment = {},
                      bool script = true) {
    AirlineRecord record;
    record.airCode = code;
    record.accCode = accCode;
    record.airName = name;
    record.comment = comment;
    record.script = script;
    return record;
}

ConditionRecord percent(const QString& wording, const QString& percentage, const QString& remarks = {}) {
    ConditionRecord condition;
    condition.comCondition = wording;
    condition.comPct = Decimal4::parse(percentage);
    condition.remarks = remarks;
    return condition;
}

ConditionRecord sum(const QString& wording, std::int16_t amount, const QString& currency,
                    std::optional<std::uint16_t> valLen, const QString& remarks = {}) {
    ConditionRecord condition;
    condition.comCondition = wording;
    condition.comSum = amount;
    condition.comVal = currency;
    condition.valLen = valLen;
    condition.remarks = remarks;
    return condition;
}

// Neither a percentage nor a currency: only hand-edited data looks like this.
ConditionRecord bare(const QString& wording) {
    ConditionRecord condition;
    condition.comCondition = wording;
    return condition;
}

} // namespace

Register workedExample() {
    return {
        {airline(u"XA"_s, u"111"_s, u"Alpha Air"_s), {percent(u"все тарифы"_s, u"5"_s, u"RM ALPHA"_s)}},
        {airline(u"XB"_s, u"222"_s, u"Beta Avia"_s, u"Договор до конца года\r\nтолько BSP"_s),
         {percent(u"бизнес-класс"_s, u"7.5"_s, u"RM B1"_s), sum(u"эконом"_s, 50, u"EUR"_s, 0, u"RM B2"_s)}},
    };
}

Register noScriptAirlines() {
    return {{airline(u"XA"_s, u"111"_s, u"Alpha Air"_s, {}, false), {percent(u"все тарифы"_s, u"5"_s)}}};
}

Register airlinesWithoutConditions() {
    return {
        {airline(u"XB"_s, u"222"_s, u"Beta Avia"_s, u"Только чартеры"_s), {}},
        {airline(u"XC"_s, u"333"_s, u"Gamma Air"_s), {}},
    };
}

Register entryVariants() {
    return {
        {airline(u"XD"_s, u"444"_s, u"Delta Avia"_s), {bare(u"без комиссии"_s)}},
        {airline(u"XE"_s, u"555"_s, u"Echo Air"_s), {sum(u"Москва"_s, 500, u"RUB"_s, std::nullopt, u"RM X"_s)}},
        {airline(u"XG"_s, u"777"_s, u"Golf Air"_s),
         {bare(u"без комиссии"_s), sum(u"USD"_s, 10, u"USD"_s, 4), sum(u"рубли строчными"_s, 100, u"rub"_s, 0),
          sum(u"рубли"_s, 300, u"RUB"_s, std::nullopt)}},
        {airline(u"XH"_s, u"888"_s, u"Hotel, Air"_s), {sum(u"евро"_s, 20, u"EUR"_s, 4)}},
        {airline(u"XI"_s, u"999"_s, u"India Air"_s), {sum(u"рубли строчными"_s, 100, u"rub"_s, std::nullopt)}},
    };
}

Register prefixExample() {
    return {
        {airline(u"XE"_s, u"555"_s, u"Echo Air"_s), {sum(u"Москва"_s, 500, u"RUB"_s, std::nullopt, u"RM X"_s)}},
        {airline(u"XG"_s, u"777"_s, u"Golf Air"_s), {percent(u"эконом"_s, u"3"_s), percent(u"бизнес"_s, u"5"_s)}},
    };
}

Register quotesAndBackslashes() {
    return {
        {airline({}, u"100"_s, u"Без кода"_s), {percent(u"все"_s, u"1"_s, u"RM N"_s)}},
        {airline(u"XA"_s, u"111"_s, u"Alpha Air"_s), {percent(u"все тарифы"_s, u"5"_s)}},
        {airline(u"XE"_s, u"555"_s, u"Echo Air"_s), {sum(u"Москва"_s, 500, u"RUB"_s, std::nullopt, u"RM X"_s)}},
        {airline(u"XQ"_s, u"421"_s, u"АО \"Авиа\""_s, u"Договор \"Стандарт\"\r\nпапка C:\\agent\\"_s),
         {percent(u"тариф \"Эконом\""_s, u"3"_s, u"RM \"A\"\\"_s),
          sum(u"бизнес\\"_s + kSeparator36 + u"\"VIP\""_s, 25, u"EUR"_s, std::nullopt, u"RM B\\"_s)}},
        {airline(u"XT"_s, u"200"_s, u"Tango Air "_s), {percent(u"все"_s, u"2"_s, u"RM T"_s)}},
    };
}

Register textLines() {
    // Line breaks of every kind: CR LF, lone LF, lone CR.
    const QString comment = u"Сначала проверь >\r\nPNR THEN\nтариф Then\r"_s + kSeparator36 + u"\r\n"_s + kSeparator40 +
                            u"\r\nконец\r\n "_s;
    return {
        {airline(u"XK"_s, u"123"_s, u"Kilo Air"_s, comment),
         {percent(u"эконом >\nкроме групп"_s, u"3"_s), percent(u"группы Then"_s, u"2"_s),
          percent(u"бизнес"_s, u"5"_s)}},
    };
}

void walk(AirlineSink& sink, const Register& airlines) {
    for (const RegisterEntry& entry : airlines)
        sink.addAirline(entry.airline, sink.wantsConditions(entry.airline) ? entry.conditions : ConditionList());
}

QString fixtureMismatch(const QByteArray& actual, const QString& fileName) {
    QFile file(QStringLiteral(TARVEX_TEST_DATA_DIR "/scripts/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return u"cannot read "_s + file.fileName();
    const QByteArray expected = file.readAll();
    if (actual == expected)
        return {};

    // Keep the output beside the test binary so the two files can be compared by eye.
    QFile written(QStringLiteral(TARVEX_TEST_BINARY_DIR "/") + fileName);
    if (written.open(QIODevice::WriteOnly))
        written.write(actual);

    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const qsizetype lineStart = expected.lastIndexOf('\n', at - 1) + 1;
    return u"%1 differs at byte %2, line %3; expected line: %4; written line: %5; output kept in %6"_s.arg(
        fileName, QString::number(at), QString::number(expected.left(at).count('\n') + 1),
        QString::fromUtf8(expected.mid(lineStart, at - lineStart + 60)),
        QString::fromUtf8(actual.mid(lineStart, at - lineStart + 60)), written.fileName());
}

} // namespace tarvex::test
