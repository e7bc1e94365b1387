#include "outputfile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvex {

bool isWriteProtected(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.permission(QFileDevice::WriteOwner);
}

OutputFile::OutputFile(const QString& path)
    : m_path(path)
    , m_file(path) {
    if (isWriteProtected(path))
        fail(u"Файл защищен от записи"_s);
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        fail(u"Каталог не найден: %1"_s.arg(folder.filePath()));
    // QSaveFile would quietly write straight into the target when it may not create
    // a file beside it; the whole point is never to leave a half-written target.
    m_file.setDirectWriteFallback(false);
    if (!m_file.open(QIODevice::WriteOnly))
        fail(m_file.errorString());
}

void OutputFile::write(const QByteArray& bytes) {
    if (m_file.write(bytes) != bytes.size())
        fail(m_file.errorString());
}

void OutputFile::commit() {
    if (!m_file.commit())
        fail(m_file.errorString());
}

void OutputFile::fail(const QString& reason) const {
    throw GenerationError(u"Cannot create file \"%1\". %2"_s.arg(m_path, reason));
}

} // namespace tarvex
