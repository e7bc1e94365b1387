#include "fulldiskdevice.h"

#include <algorithm>
#include <cerrno>

namespace tarvex::testing {

FullDiskDevice::FullDiskDevice(QIODevice& file, qint64 capacity, QList<qint64>* writeLog)
    : m_file(file)
    , m_capacity(capacity)
    , m_writeLog(writeLog) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool FullDiskDevice::seek(qint64 position) {
    return QIODevice::seek(position) && m_file.seek(position);
}

qint64 FullDiskDevice::writeData(const char* data, qint64 length) {
    if (m_writeLog)
        m_writeLog->append(length);
    // The file never grows past the capacity, so bytes rewritten in place always fit.
    const qint64 room = m_capacity - m_file.pos();
    if (room <= 0) {
        setErrorString(qt_error_string(ENOSPC));
        return -1;
    }
    const qint64 written = m_file.write(data, std::min(length, room));
    if (written < 0)
        setErrorString(m_file.errorString());
    return written;
}

} // namespace tarvex::testing
