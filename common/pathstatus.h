#pragma once

#include <QString>

namespace tarvex {

// What stands at a path, as the system sees it. Qt's QFileInfo calls a path it may not look at (a folder on the
// way without search permission) existing but no file, which would give the user a wrong reason.
struct PathStatus {
    enum class Kind {
        Missing,     // nothing there, or a file stands where a folder on the way should be
        File,        // a regular file, or a link to one
        Folder,      // a folder, or a link to one
        OtherKind,   // a pipe, device or socket: opening one may wait forever
        Unreachable, // the system will not say: reason() tells why
    };
    Kind kind = Kind::Missing;
    int errorNumber = 0; // why it is unreachable

    QString reason() const; // the system's words for errorNumber
};

PathStatus pathStatus(const QString& path);

} // namespace tarvex
