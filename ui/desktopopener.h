#pragma once

#include <QString>

namespace tarvex {

// Hands a file or a folder to the desktop's associated application; tests replace it.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // Returns false when the desktop could not open it.
    virtual bool openPath(const QString& path) = 0;
};

// Opens through QDesktopServices.
class SystemDesktopOpener : public DesktopOpener {
public:
    bool openPath(const QString& path) override;
};

} // namespace tarvex
