#include "register.h"

namespace tarvex::bench {

QList<RegisterAirline> makeRegister(int airlineCount) {
    QList<RegisterAirline> airlines;
    for (int i = 0; i < airlineCount; ++i) {
        RegisterAirline entry;
        entry.airline.id = i + 1;
        entry.airline.airCode = QString(QChar(u'A' + i % 26)) + QChar(u'A' + (i / 26) % 26);
        entry.airline.accCode = QString::number(100 + i);
        entry.airline.airName = QStringLiteral("Авиакомпания номер %1").arg(i);
        entry.airline.bsp = i % 2 == 0;
        if (i % 3 == 0)
            entry.airline.comment = QStringLiteral("Договор № %1 до 31.12.2025; оплата по счёту в течение 10 дней "
                                                   "после вылета, сверка ежемесячно")
                                        .arg(i);
        for (int k = 0; k <= i % 4; ++k) {
            ConditionRecord condition;
            condition.comCondition = QStringLiteral("Условие %1: рейсы из Москвы, класс бронирования Y").arg(k);
            if (k % 2 == 0) {
                condition.comPct = Decimal4::fromUnits(10000 * (k + 1) + 5000);
            } else {
                condition.comSum = std::int16_t(15 * k);
                condition.comVal = QStringLiteral("USD");
            }
            condition.fee = k == 2 ? QString() : QStringLiteral("%1 RUB").arg(300 + k * 100);
            entry.conditions.append(condition);
        }
        airlines.append(entry);
    }
    return airlines;
}

} // namespace tarvex::bench
