#include "grouptask.h"

namespace tarvex {

std::optional<GroupTask> decodeGroupTask(QStringView value) {
    const QStringView code = value.mid(2, 2);
    const bool flag = value.mid(4, 3) == u"rmk";
    if (code == u"SF")
        return GroupTask{OutputKind::SmartFlow, flag};
    if (code == u"SK")
        return GroupTask{OutputKind::SmartKey, flag};
    if (code == u"XL")
        return GroupTask{OutputKind::Workbook, flag};
    if (code == u"CS")
        return GroupTask{OutputKind::AirlineList, false};
    return std::nullopt;
}

} // namespace tarvex
