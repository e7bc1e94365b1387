#include "spoolfile.h"

#include "common/devicewrite.h"
#include "outputfile.h"

#include <QFileInfo>

namespace tarvex {

namespace {

constexpr qint64 kCopyPieceSize = 128 * 1024;

} // namespace

SpoolFile::SpoolFile(const OutputFile& output)
    : m_output(output)
    , m_file(QFileInfo(output.path()).absolutePath() + QStringLiteral("/.tarvex-spool-XXXXXX")) {
    // Beside the output, so it fills the same disk and a full one shows at once.
    if (!m_file.open())
        m_output.fail(m_file.errorString());
}

void SpoolFile::write(const QByteArray& bytes) {
    if (!writeFully(m_file, bytes.constData(), bytes.size()))
        m_output.fail(m_file.errorString());
}

void SpoolFile::copyInto(OutputFile& output) {
    if (!m_file.flush() || !m_file.seek(0))
        m_output.fail(m_file.errorString());
    while (!m_file.atEnd()) {
        const QByteArray piece = m_file.read(kCopyPieceSize);
        if (piece.isEmpty())
            m_output.fail(m_file.errorString());
        output.write(piece);
    }
}

} // namespace tarvex
