#include "outputfile.h"

#include "common/devicewrite.h"

#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tarvex {

QString cannotCreateFileMessage(const QString& path, const QString& reason) {
    return u"Cannot create file \"%1\". %2"_s.arg(path, reason);
}

OutputFile::OutputFile(const QString& path, const DeviceFilter& filter)
    : m_path(path)
    , m_file(path) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        fail(u"Каталог не найден: %1"_s.arg(folder.filePath()));
    // QSaveFile would quietly write straight into the target when it may not create
    // a file beside it; the whole point is never to leave a half-written target.
    m_file.setDirectWriteFallback(false);
    // Unbuffered: with a buffer, a final flush that fails inside commit() goes unseen
    // and the incomplete file is renamed over the target all the same. The writers
    // hand over large blocks, so no buffer is missed.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(m_file.errorString());
    if (filter)
        m_filter = filter(m_file);
}

void OutputFile::write(const QByteArray& bytes) {
    if (!writeFully(device(), bytes.constData(), bytes.size()))
        fail(device().errorString());
}

void OutputFile::commit() {
    // Some file systems report a failed write only when the data is synced; QSaveFile
    // syncs too but ignores the answer before it renames.
    if (::fsync(m_file.handle()) != 0 && errno != EINVAL)
        fail(qt_error_string(errno));
    if (!m_file.commit())
        fail(m_file.errorString());
}

void OutputFile::fail(const QString& reason) const {
    throw GenerationError(cannotCreateFileMessage(m_path, reason));
}

} // namespace tarvex
