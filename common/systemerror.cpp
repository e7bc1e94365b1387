#include "systemerror.h"

#include <QFileDevice>

#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace tarvex {

QString systemErrorText(int errorNumber) {
    return QString::fromLocal8Bit(std::generic_category().message(errorNumber));
}

QString writeFailureReason(const QFileDevice& file) {
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return systemErrorText(errno);
}

bool syncToStorage(QFileDevice& file, QString* reason) {
    if (::fsync(file.handle()) == 0)
        return true;
    *reason = systemErrorText(errno);
    return false;
}

} // namespace tarvex
