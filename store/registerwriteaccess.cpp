#include "registerwriteaccess.h"

#include "common/writeprotection.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Whether the effective user may do `mode` on the path; errno tells why not.
bool effectiveAccess(const QString& path, int mode) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
}

} // namespace

std::optional<QString> registerWriteRefusal(const QString& path) {
    if (isWriteProtected(path))
        return u"файл %1 защищён от записи"_s.arg(path);
    if (!effectiveAccess(path, W_OK)) {
        if (errno == EROFS)
            return u"диск с файлом %1 подключён только для чтения"_s.arg(path);
        return u"нет права записи в файл %1"_s.arg(path);
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!effectiveAccess(folder, W_OK | X_OK))
        return u"нет права записи в папку %1, где при каждом изменении создаётся журнал реестра"_s.arg(folder);
    return std::nullopt;
}

} // namespace tarvex
