#include "validity.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvex {

QString dayText(QDate day) {
    return day.toString(u"dd.MM.yyyy"_s);
}

QString validityText(const ConditionRecord& condition) {
    QStringList ends;
    if (!condition.validFrom.isNull())
        ends << u"с "_s + dayText(condition.validFrom);
    if (!condition.validTill.isNull())
        ends << u"по "_s + dayText(condition.validTill);
    return ends.join(u' ');
}

std::optional<QString> validityProblem(QDate from, QDate till) {
    if (from.isNull() || till.isNull() || from <= till)
        return std::nullopt;
    return u"Условие не может действовать по %1: это раньше, чем первый день «действует с» %2. Исправьте одну из "
           u"дат."_s.arg(dayText(till), dayText(from));
}

} // namespace tarvex
