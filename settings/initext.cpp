#include "initext.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

struct MarkedEncoding {
    IniEncoding encoding;
    QByteArrayView mark;
    QStringConverter::Encoding converter;
};

constexpr std::array kMarkedEncodings{
    MarkedEncoding{IniEncoding::Utf8WithMark, "\xEF\xBB\xBF", QStringConverter::Utf8},
    MarkedEncoding{IniEncoding::Utf16LittleEndianMarked, "\xFF\xFE", QStringConverter::Utf16LE},
    MarkedEncoding{IniEncoding::Utf16BigEndianMarked, "\xFE\xFF", QStringConverter::Utf16BE},
};

const MarkedEncoding* markedEncoding(IniEncoding encoding) {
    for (const MarkedEncoding& marked : kMarkedEncodings) {
        if (marked.encoding == encoding)
            return &marked;
    }
    return nullptr;
}

// ConvertInitialBom keeps a second mark as text, so writing the file back gives the same bytes.
constexpr auto kDecoderFlags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

// An INI file begins with a bracket, a letter or a blank; in UTF-16 one byte of such a character is zero, which
// no text in UTF-8 or Windows-1251 holds.
bool looksLikeUnmarkedUtf16(QByteArrayView bytes) {
    return bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0');
}

std::optional<IniText> fail(QString* problem, const QString& why) {
    if (problem)
        *problem = why;
    return std::nullopt;
}

// UTF-8, or Windows-1251 when the bytes are not valid UTF-8: the old Windows program wrote that.
QString decodeUtf8OrWindows1251(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, kDecoderFlags);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QStringDecoder("windows-1251", QStringDecoder::Flag::Stateless)(bytes);
    return text;
}

} // namespace

std::optional<IniText> decodeIniBytes(QByteArrayView bytes, QString* problem) {
    for (const MarkedEncoding& marked : kMarkedEncodings) {
        if (!bytes.startsWith(marked.mark))
            continue;
        const QByteArrayView body = bytes.sliced(marked.mark.size());
        if (marked.converter == QStringConverter::Utf8)
            return IniText{decodeUtf8OrWindows1251(body), marked.encoding};
        if (body.size() % 2 != 0)
            return fail(problem, u"файл сохранён в кодировке UTF-16 и обрывается посреди символа"_s);
        return IniText{QStringDecoder(marked.converter, kDecoderFlags)(body), marked.encoding};
    }
    if (looksLikeUnmarkedUtf16(bytes)) {
        return fail(problem, u"файл, похоже, сохранён в кодировке UTF-16 без метки порядка байтов; сохраните его "
                             u"в кодировке UTF-8"_s);
    }
    return IniText{decodeUtf8OrWindows1251(bytes), IniEncoding::Utf8};
}

QByteArray encodeIniText(const IniText& contents) {
    const MarkedEncoding* marked = markedEncoding(contents.encoding);
    QStringEncoder encoder(marked ? marked->converter : QStringConverter::Utf8, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder(contents.text);
    if (marked)
        bytes.prepend(marked->mark.data(), marked->mark.size());
    return bytes;
}

} // namespace tarvex
