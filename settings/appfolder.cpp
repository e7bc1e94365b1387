#include "appfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace tarvex {

QString appFolder(const QString& directory) {
    const QString path = QDir(directory).absolutePath();
    return path.endsWith(u'/') ? path : path + u'/';
}

QString executableAppFolder() {
    return appFolder(QCoreApplication::applicationDirPath());
}

} // namespace tarvex
