#include "demoregister.h"

#include "store/commissionsummary.h"
#include "store/registerstore.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

struct DemoCondition {
    QString wording;
    const char* percent; // nullptr for a fixed sum
    int sum;
    QString currency;
    QString remarks;
    int valLen; // 0 for NULL
    QString fee;
};

struct DemoAirline {
    QString code;
    QString iata;
    QString name;
    bool bsp;
    bool script;
    QString comment;
    QList<DemoCondition> conditions;
};

// One airline per block reads better than one field per line.
// clang-format off
QList<DemoAirline> demoAirlines()
{
    return {
        {u"SU"_s, u"555"_s, u"Аэрофлот"_s, true, true, u"Договор продлён до конца года"_s,
         {{u"Все тарифы, вылет из Москвы"_s, "5", 0, {}, u"RM КОМИССИЯ SU"_s, 0, u"300 руб."_s},
          {u"Бизнес-класс"_s, "7.5", 0, {}, u"RM SU BUSINESS"_s, 0, u"500 руб."_s}}},
        {u"SB"_s, u"421"_s, u"Сибирь"_s, true, true, {},
         {{u"Все направления"_s, "4", 0, {}, u"RM SB"_s, 0, u"250 руб."_s}}},
        {u"UR"_s, u"262"_s, u"Уральские авиалинии"_s, true, true, u"Только продажи BSP"_s,
         {{u"Внутренние рейсы"_s, nullptr, 200, u"RUB"_s, u"RM UR RUB"_s, 0, {}},
          {u"Международные рейсы"_s, "3", 0, {}, u"RM UR INTL"_s, 0, u"400 руб."_s}}},
        {u"UT"_s, u"298"_s, u"ЮТэйр"_s, true, true, {},
         {{u"Все тарифы"_s, "2.5", 0, {}, {}, 0, {}}}},
        {u"FV"_s, u"195"_s, u"Россия"_s, true, true, u"Группа Аэрофлот"_s,
         {{u"Эконом, Москва и Санкт-Петербург"_s, "3", 0, {}, u"RM FV ECONOMY"_s, 0, u"200 руб."_s},
          {u"Бизнес"_s, "5", 0, {}, u"RM FV BUSINESS"_s, 0, u"400 руб."_s},
          {u"Групповые перевозки"_s, nullptr, 500, u"RUB"_s, u"RM FV GROUP"_s, 0, {}}}},
        {u"DP"_s, u"200"_s, u"Победа"_s, false, false, u"Комиссия не выплачивается"_s, {}},
        {u"NW"_s, u"216"_s, u"Северный ветер"_s, true, true, {},
         {{u"Чартерные рейсы"_s, nullptr, 10, u"EUR"_s, u"RM NW CHARTER"_s, 4, u"300 руб."_s}}},
        {u"SM"_s, u"316"_s, u"Смартавиа"_s, true, true, {},
         {{u"Все тарифы"_s, "1", 0, {}, {}, 0, {}}}},
        {u"WZ"_s, u"120"_s, u"Ред Вингс"_s, true, true, u"Договор на подписании"_s,
         {{u"Внутренние рейсы"_s, "2", 0, {}, u"RM WZ"_s, 0, u"150 руб."_s}}},
        {u"TK"_s, u"235"_s, u"Турецкие авиалинии"_s, true, true, u"Комиссия с тарифа без такс"_s,
         {{u"Рейсы из России"_s, "1", 0, {}, u"RM TK RU"_s, 0, u"1000 руб."_s},
          {u"Трансфер через Стамбул"_s, nullptr, 15, u"USD"_s, u"RM TK TRANSFER;RM TK IST"_s, 4, u"1000 руб."_s}}},
        {u"EK"_s, u"176"_s, u"Эмирейтс"_s, true, true, {},
         {{u"Эконом"_s, nullptr, 20, u"USD"_s, u"RM EK Y"_s, 4, u"1500 руб."_s},
          {u"Бизнес и первый класс"_s, nullptr, 50, u"USD"_s, u"RM EK J"_s, 4, u"3000 руб."_s}}},
        {u"QR"_s, u"157"_s, u"Катарские авиалинии"_s, true, true, {},
         {{u"Все тарифы"_s, "0.5", 0, {}, u"RM QR"_s, 0, u"1500 руб."_s}}},
        {u"EY"_s, u"607"_s, u"Этихад"_s, true, false, u"Пауза в продажах"_s,
         {{u"Все тарифы"_s, "0.125", 0, {}, {}, 0, {}}}},
        {u"HY"_s, u"250"_s, u"Узбекские авиалинии"_s, true, true, {},
         {{u"Рейсы в Ташкент"_s, "3", 0, {}, u"RM HY TAS"_s, 0, u"500 руб."_s},
          {u"Рейсы в Самарканд и Бухару"_s, nullptr, 5, u"EUR"_s, u"RM HY UZ"_s, 3, {}}}},
        {u"KC"_s, u"465"_s, u"Эйр Астана"_s, true, true, u"Комиссия по договору\nс представительством"_s,
         {{u"Все тарифы"_s, "2", 0, {}, u"RM KC"_s, 0, u"700 руб."_s}}},
        {u"AK"_s, u"771"_s, u"Азербайджанские авиалинии"_s, true, true, {},
         {{u"Рейсы в Баку"_s, nullptr, 300, u"RUB"_s, u"RM AK"_s, 0, {}}}},
        {u"GE"_s, u"606"_s, u"Грузинские авиалинии"_s, false, true, {},
         {{u"Все тарифы"_s, nullptr, 7, u"EUR"_s, {}, 3, u"500 руб."_s}}},
        {u"BE"_s, u"628"_s, u"Белавиа"_s, true, true, u"Комиссия только на рейсы из Минска"_s,
         {{u"Эконом"_s, "4", 0, {}, u"RM BE Y"_s, 0, {}},
          {u"Бизнес"_s, "6", 0, {}, u"RM BE C"_s, 0, u"800 руб."_s}}},
        {u"CA"_s, u"999"_s, u"Эйр Чайна"_s, true, true, {},
         {{u"Рейсы в Пекин"_s, "1", 0, {}, u"RM CA PEK"_s, 0, u"1000 руб."_s}}},
        {u"MU"_s, u"781"_s, u"Чайна Истерн"_s, true, true, {},
         {{u"Рейсы в Шанхай"_s, nullptr, 12, u"USD"_s, u"RM MU SHA"_s, 4, u"1000 руб."_s}}},
        {u"ZF"_s, u"691"_s, u"Азур Эйр"_s, false, false, u"Только чартеры туроператоров"_s,
         {{u"Чартеры"_s, nullptr, 150, u"RUB"_s, {}, 0, {}}}},
        {u"YC"_s, u"213"_s, u"Ямал"_s, true, true, {},
         {{u"Северные направления"_s, "5", 0, {}, u"RM YC NORTH"_s, 0, u"200 руб."_s}}},
    };
}
// clang-format on

} // namespace

void addDemoRegister(RegisterStore& store) {
    const QDate contractEnd(QDate::currentDate().year(), 12, 31);
    int contractNumber = 101;
    for (const DemoAirline& demo : demoAirlines()) {
        ConditionList conditions;
        for (const DemoCondition& c : demo.conditions) {
            ConditionRecord condition;
            condition.comCondition = c.wording;
            if (c.percent)
                condition.comPct = Decimal4::parse(QString::fromLatin1(c.percent));
            else
                condition.comSum = std::int16_t(c.sum);
            condition.comVal = c.currency;
            condition.remarks = c.remarks;
            if (c.valLen != 0)
                condition.valLen = std::uint16_t(c.valLen);
            condition.fee = c.fee;
            conditions << condition;
        }
        const CommissionSummary summary = summarizeConditions(conditions);

        AirlineRecord airline;
        airline.airCode = demo.code;
        airline.airName = demo.name;
        airline.accCode = demo.iata;
        airline.comment = demo.comment;
        airline.bsp = demo.bsp;
        airline.script = demo.script;
        const qint64 airlineId = store.addAirline(airline);

        TableCursor& airlines = store.airlines();
        airlines.edit();
        airlines.setValue(u"Dog", u"%1/А-%2"_s.arg(contractNumber++).arg(contractEnd.year()));
        airlines.setValue(u"DogDate", contractEnd.startOfDay());
        airlines.setValue(u"ContrAgent", u"Представительство «%1»"_s.arg(demo.name));
        airlines.setValue(u"Commision", summary.commission);
        airlines.setValue(u"Fee", summary.fee);
        airlines.post();

        for (const ConditionRecord& condition : conditions)
            store.addCondition(airlineId, condition);
    }
}

} // namespace tarvex
