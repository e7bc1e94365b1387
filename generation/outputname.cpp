#include "outputname.h"

using namespace Qt::StringLiterals;

namespace tarvex {

QString shortDateText(const QDate& date) {
    return date.toString(u"dd.MM.yyyy"_s);
}

QString composeOutputName(const OutputNaming& naming, const QString& extension, bool withRemarks, const QDate& today) {
    QString name = naming.name;
    if (withRemarks)
        name += u"-with-remarks"_s;
    if (naming.date)
        name += u'_' + shortDateText(today);
    return naming.path + u'/' + name + extension;
}

} // namespace tarvex
