#include "storedutf8.h"

namespace tarvex {

namespace {

// Qt's decoder, with the opening byte order mark put back.
QString decodedByQt(QByteArrayView utf8) {
    QString text = QString::fromUtf8(utf8);
    if (utf8.startsWith("\xEF\xBB\xBF"))
        text.prepend(QChar(0xFEFF));
    return text;
}

// Decodes a text made only of one- and two-byte sequences into `out`, which has room
// for a character per byte. Returns the end of the characters written, or nullptr at
// the first byte that starts anything else, leaving the rest to Qt.
char16_t* decodeShortSequences(QByteArrayView utf8, char16_t* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = in + utf8.size();
    while (in < end) {
        const unsigned char lead = *in;
        if (lead < 0x80) {
            *out++ = lead;
            ++in;
        } else if (lead >= 0xC2 && lead <= 0xDF && end - in >= 2 && (in[1] & 0xC0) == 0x80) {
            // 0xC0 and 0xC1 would start overlong forms, which are invalid.
            *out++ = char16_t((lead & 0x1F) << 6 | (in[1] & 0x3F));
            in += 2;
        } else {
            return nullptr;
        }
    }
    return out;
}

} // namespace

void assignStoredUtf8(QString& text, QByteArrayView utf8) {
    const qsizetype size = utf8.size();
    if (size == 0) {
        text = decodedByQt(utf8); // keeps fromUtf8()'s null and empty apart
        return;
    }
    // A shared text would copy its old characters on the first write: start afresh.
    if (!text.isDetached() || text.capacity() < size)
        text = QString(size, Qt::Uninitialized);
    else
        text.resize(size);
    auto* const begin = reinterpret_cast<char16_t*>(text.data());
    if (const char16_t* end = decodeShortSequences(utf8, begin))
        text.truncate(end - begin);
    else
        text = decodedByQt(utf8);
}

} // namespace tarvex
