#include "icons.h"

using namespace Qt::StringLiterals;

namespace tarvex {

QIcon tarvexIcon(const char* freedesktopName) {
    const QString name = QString::fromLatin1(freedesktopName);
    return QIcon::fromTheme(name, QIcon(u":/icons/"_s + name + u".png"_s));
}

QIcon programIcon() {
    return QIcon(u":/tarvex.png"_s);
}

QPixmap bspMark(bool member) {
    return QPixmap(member ? u":/images/bsp-ticked.png"_s : u":/images/bsp-dash.png"_s);
}

} // namespace tarvex
