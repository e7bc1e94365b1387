#include "outputname.h"

#include "generationerror.h"

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// A NUL character ends the name where the system reads it, so the rest would be silently dropped.
void refuseNul(const QString& value, const QString& section, const QString& key) {
    if (value.contains(QChar::Null)) {
        throw GenerationError(
            u"Значение %1 раздела [%2] в options.ini содержит нулевой символ; исправьте его в настройках"_s.arg(
                key, section));
    }
}

void checkNaming(const OutputNaming& naming) {
    refuseNul(naming.path, naming.section, u"path"_s);
    refuseNul(naming.name, naming.section, u"name"_s);
    if (naming.name.contains(u'/')) {
        throw GenerationError(u"Значение name раздела [%1] в options.ini содержит «/»: имя файла не может указывать "
                              u"на другой каталог, для него есть значение path"_s.arg(naming.section));
    }
}

} // namespace

QString shortDateText(const QDate& date) {
    return date.toString(u"dd.MM.yyyy"_s);
}

QString composeOutputName(const OutputNaming& naming, const QString& extension, bool withRemarks, const QDate& today) {
    checkNaming(naming);
    QString name = naming.name;
    if (withRemarks)
        name += u"-with-remarks"_s;
    if (naming.date)
        name += u'_' + shortDateText(today);
    return naming.path + u'/' + name + extension;
}

} // namespace tarvex
