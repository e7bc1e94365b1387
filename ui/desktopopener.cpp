#include "desktopopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace tarvex {

bool SystemDesktopOpener::openPath(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace tarvex
