#include "testregisters.h"

#include <QFile>

namespace tarvex::testing {

using namespace Qt::StringLiterals;

namespace {

const QString kSeparator36 = QString(36, u'-');
const QString kSeparator40 = QString(40, u'-');

} // namespace

Register workedExample() {
    return {
        {airline(u"XA"_s, u"Alpha Air"_s, u"111"_s), {percentCondition(u"все тарифы"_s, "5", u"RM ALPHA"_s)}},
        {withComment(airline(u"XB"_s, u"Beta Avia"_s, u"222"_s), u"Договор до конца года\r\nтолько BSP"_s),
         {percentCondition(u"бизнес-класс"_s, "7.5", u"RM B1"_s),
          sumCondition(u"эконом"_s, 50, u"EUR"_s, 0, u"RM B2"_s)}},
    };
}

Register noScriptAirlines() {
    return {{airline(u"XA"_s, u"Alpha Air"_s, u"111"_s, false), {percentCondition(u"все тарифы"_s, "5")}}};
}

Register airlinesWithoutConditions() {
    return {
        {withComment(airline(u"XB"_s, u"Beta Avia"_s, u"222"_s), u"Только чартеры"_s), {}},
        {airline(u"XC"_s, u"Gamma Air"_s, u"333"_s), {}},
    };
}

Register entryVariants() {
    return {
        {airline(u"XD"_s, u"Delta Avia"_s, u"444"_s), {bareCondition(u"без комиссии"_s)}},
        {airline(u"XE"_s, u"Echo Air"_s, u"555"_s),
         {sumCondition(u"Москва"_s, 500, u"RUB"_s, std::nullopt, u"RM X"_s)}},
        {airline(u"XG"_s, u"Golf Air"_s, u"777"_s),
         {bareCondition(u"без комиссии"_s), sumCondition(u"USD"_s, 10, u"USD"_s, 4),
          sumCondition(u"рубли строчными"_s, 100, u"rub"_s, 0), sumCondition(u"рубли"_s, 300, u"RUB"_s, std::nullopt)}},
        {airline(u"XH"_s, u"Hotel, Air"_s, u"888"_s), {sumCondition(u"евро"_s, 20, u"EUR"_s, 4)}},
        {airline(u"XI"_s, u"India Air"_s, u"999"_s), {sumCondition(u"рубли строчными"_s, 100, u"rub"_s, std::nullopt)}},
    };
}

Register prefixExample() {
    return {
        {airline(u"XE"_s, u"Echo Air"_s, u"555"_s),
         {sumCondition(u"Москва"_s, 500, u"RUB"_s, std::nullopt, u"RM X"_s)}},
        {airline(u"XG"_s, u"Golf Air"_s, u"777"_s),
         {percentCondition(u"эконом"_s, "3"), percentCondition(u"бизнес"_s, "5")}},
    };
}

Register quotesAndBackslashes() {
    return {
        {airline({}, u"Без кода"_s, u"100"_s), {percentCondition(u"все"_s, "1", u"RM N"_s)}},
        {airline(u"XA"_s, u"Alpha Air"_s, u"111"_s), {percentCondition(u"все тарифы"_s, "5")}},
        {airline(u"XE"_s, u"Echo Air"_s, u"555"_s),
         {sumCondition(u"Москва"_s, 500, u"RUB"_s, std::nullopt, u"RM X"_s)}},
        {withComment(airline(u"XQ"_s, u"АО \"Авиа\""_s, u"421"_s), u"Договор \"Стандарт\"\r\nпапка C:\\agent\\"_s),
         {percentCondition(u"тариф \"Эконом\""_s, "3", u"RM \"A\"\\"_s),
          sumCondition(u"бизнес\\"_s + kSeparator36 + u"\"VIP\""_s, 25, u"EUR"_s, std::nullopt, u"RM B\\"_s)}},
        {airline(u"XT"_s, u"Tango Air "_s, u"200"_s), {percentCondition(u"все"_s, "2", u"RM T"_s)}},
    };
}

Register textLines() {
    // Line breaks of every kind: CR LF, lone LF, lone CR.
    const QString comment = u"Сначала проверь >\r\nPNR THEN\nтариф Then\r"_s + kSeparator36 + u"\r\n"_s + kSeparator40 +
                            u"\r\nконец\r\n "_s;
    return {
        {withComment(airline(u"XK"_s, u"Kilo Air"_s, u"123"_s), comment),
         {percentCondition(u"эконом >\nкроме групп"_s, "3"), percentCondition(u"группы Then"_s, "2"),
          percentCondition(u"бизнес"_s, "5")}},
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

} // namespace tarvex::testing
