#pragma once

#include <QIODevice>

namespace tarvex {

// Writes all the bytes. A write that stops short is repeated with the rest: a short
// write carries no reason, and only the next attempt fails with the system's own
// ("No space left on device"), which the device's errorString() then holds.
inline bool writeFully(QIODevice& device, const char* data, qint64 size) {
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace tarvex
