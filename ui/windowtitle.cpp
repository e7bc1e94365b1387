#include "windowtitle.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvex {

QString titleWithAddition(const QString& currentTitle, const QString& addition) {
    if (addition.isEmpty())
        return currentTitle;
    QString ownTitle;
    for (const QString& piece : currentTitle.split(u'|')) {
        if (!piece.trimmed().isEmpty())
            ownTitle = piece.trimmed();
    }
    return addition + u" | "_s + ownTitle;
}

} // namespace tarvex
