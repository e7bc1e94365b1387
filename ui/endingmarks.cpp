#include "endingmarks.h"

#include "store/validity.h"

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

QString endingLine(const EndingItem& item, QDate today) {
    const bool ended = item.lastDay < today;
    const QString day = dayText(item.lastDay);
    if (item.what == EndingItem::What::Contract)
        return ended ? u"Договор кончился %1"_s.arg(day) : u"Договор действует по %1"_s.arg(day);
    const QString wording = item.wording.simplified();
    return ended ? u"Условие «%1» кончилось %2"_s.arg(wording, day)
                 : u"Условие «%1» действует по %2"_s.arg(wording, day);
}

} // namespace

QHash<qint64, EndingMark> endingMarks(const QList<EndingItem>& items, QDate today) {
    QHash<qint64, EndingMark> marks;
    for (const EndingItem& item : items) {
        EndingMark& mark = marks[item.airlineId];
        mark.ended = mark.ended || item.lastDay < today;
        if (!mark.text.isEmpty())
            mark.text += u'\n';
        mark.text += endingLine(item, today);
    }
    return marks;
}

} // namespace tarvex
