#pragma once

#include <QFileInfo>
#include <QString>

namespace tarvex {

// Whether an existing file is marked read-only: its owner may not write it. The
// permission bit is asked for itself, so the answer holds for root too.
inline bool isWriteProtected(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.permission(QFileDevice::WriteOwner);
}

} // namespace tarvex
