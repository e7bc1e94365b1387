#include "pathstatus.h"

#include "systemerror.h"

#include <QFile>

#include <cerrno>

#include <sys/stat.h>

namespace tarvex {

QString PathStatus::reason() const {
    return systemErrorText(errorNumber);
}

PathStatus pathStatus(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {PathStatus::Kind::Missing};
        return {PathStatus::Kind::Unreachable, errno};
    }
    if (S_ISREG(status.st_mode))
        return {PathStatus::Kind::File};
    if (S_ISDIR(status.st_mode))
        return {PathStatus::Kind::Folder};
    return {PathStatus::Kind::OtherKind};
}

} // namespace tarvex
