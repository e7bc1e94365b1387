#include "syntheticregister.h"

using namespace Qt::StringLiterals;

namespace tarvex::testing {

namespace {

// AA, AB, ... ZZ, and again from AA: past 676 airlines codes are shared, as they may be.
QString airlineCode(int index) {
    const QChar letters[] = {QChar(u'A' + index / 26 % 26), QChar(u'A' + index % 26)};
    return QString(letters, 2);
}

ConditionRecord condition(int airlineIndex, int number) {
    const QString wording = u"Условие %1: рейсы из Москвы, класс бронирования Y"_s.arg(number);
    const QString remarks = u"RM COMM %1;RM NOTE %2"_s.arg(number).arg(airlineIndex);
    const char* const percents[] = {"7.5", "8.75", "10", "11.25"};
    ConditionRecord record;
    switch (number % 3) {
    case 0:
        record = percentCondition(wording, percents[number], remarks);
        break;
    case 1:
        record = sumCondition(wording, std::int16_t(500 + number), u"RUB"_s, std::nullopt, remarks);
        break;
    default:
        record = sumCondition(wording, std::int16_t(50 + number), u"EUR"_s, 4, remarks);
        break;
    }
    return number == 2 ? record : withFee(record, u"%1 RUB"_s.arg(300 + number * 100));
}

} // namespace

Register syntheticRegister(int airlineCount) {
    Register airlines;
    airlines.reserve(airlineCount);
    for (int i = 0; i < airlineCount; ++i) {
        const QString name = i % 10 == 0 ? u"АО \"Авиалинии %1\""_s.arg(i) : u"Авиакомпания номер %1"_s.arg(i);
        AirlineRecord record = airline(airlineCode(i), name, QString::number(100 + i % 900));
        record.id = i + 1;
        record.bsp = i % 2 == 0;
        if (i % 3 == 0)
            record.comment = u"Договор № %1 до 31.12.2025\r\nоплата по счёту в течение 10 дней, только BSP"_s.arg(i);
        ConditionList conditions;
        for (int number = 0; number <= i % 4; ++number)
            conditions.append(condition(i, number));
        airlines.append({record, conditions});
    }
    return airlines;
}

} // namespace tarvex::testing
