#include "initext.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tarvex {

namespace {

constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");

} // namespace

IniText decodeIniBytes(QByteArrayView bytes) {
    IniText contents;
    contents.hasByteOrderMark = bytes.startsWith(kUtf8ByteOrderMark);
    if (contents.hasByteOrderMark)
        bytes = bytes.sliced(kUtf8ByteOrderMark.size());

    // ConvertInitialBom keeps a second mark as text, so writing the file back gives the same bytes.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    contents.text = utf8(bytes);
    if (utf8.hasError()) {
        QStringDecoder windows1251("windows-1251", QStringDecoder::Flag::Stateless);
        contents.text = windows1251(bytes);
    }
    return contents;
}

QByteArray encodeIniText(const IniText& contents) {
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    QByteArray bytes = utf8(contents.text);
    if (contents.hasByteOrderMark)
        bytes.prepend(kUtf8ByteOrderMark.data(), kUtf8ByteOrderMark.size());
    return bytes;
}

} // namespace tarvex
