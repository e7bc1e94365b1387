#include "createalltask.h"

namespace tarvex {

std::optional<CreateAllTask> decodeCreateAllTask(QStringView value) {
    const QStringView code = value.mid(2, 2);
    const bool flag = value.mid(4, 3) == u"rmk";
    if (code == u"SF")
        return CreateAllTask{OutputKind::SmartFlow, flag};
    if (code == u"SK")
        return CreateAllTask{OutputKind::SmartKey, flag};
    if (code == u"XL")
        return CreateAllTask{OutputKind::Workbook, flag};
    if (code == u"CS")
        return CreateAllTask{OutputKind::AirlineList, false};
    return std::nullopt;
}

} // namespace tarvex
