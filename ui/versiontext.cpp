#include "versiontext.h"

namespace tarvex {

QString shortVersionText(const QString& fileVersion) {
    constexpr qsizetype kKept = 3;
    constexpr qsizetype kRemoved = 5;
    if (fileVersion.size() <= kKept)
        return fileVersion;
    return fileVersion.left(kKept) + fileVersion.mid(kKept + kRemoved);
}

} // namespace tarvex
