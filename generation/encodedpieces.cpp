#include "encodedpieces.h"

#include <utility>

namespace tarvex {

namespace {

// Characters per piece: a write of 64 to 128 KB, large enough for an unbuffered file.
constexpr qsizetype kPieceLength = 64 * 1024;

} // namespace

void EncodedPieces::passOn(QString& text) {
    if (!m_destination || text.size() < kPieceLength)
        return;
    put(text);
    text.resize(0); // keeps the capacity for the next piece
}

QByteArray EncodedPieces::finish(QString& text) {
    put(text);
    text.clear();
    return std::exchange(m_gathered, QByteArray());
}

void EncodedPieces::put(QStringView text) {
    if (m_destination)
        m_destination(m_encoder(text));
    else
        m_gathered += m_encoder(text);
}

QByteArray utf8Of(QStringView text) {
    return text.toUtf8();
}

} // namespace tarvex
