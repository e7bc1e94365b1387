#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tarvex {

// How a settings file is stored, so that saving keeps its form.
enum class IniEncoding {
    Utf8,                    // also a file of the old Windows program, which a save turns into UTF-8
    Utf8WithMark,            // begins with the UTF-8 byte-order mark EF BB BF
    Utf16LittleEndianMarked, // "Unicode" of Windows Notepad: FF FE, then UTF-16LE
    Utf16BigEndianMarked,    // FE FF, then UTF-16BE
};

// The decoded contents of an INI file together with what is needed to write it back in its own form.
struct IniText {
    QString text;
    IniEncoding encoding = IniEncoding::Utf8;
};

// Decodes a file by its byte-order mark: UTF-8 or UTF-16 in either byte order. Without a mark it is UTF-8, and
// bytes that are not valid UTF-8 come from the old Windows program and are decoded as Windows-1251. Bytes that no
// encoding reads as the user wrote them give nothing, and `problem` names the encoding and what is wrong: UTF-16
// cut off in the middle of a character, or UTF-16 without its mark (which would otherwise read as text with a
// NUL between the letters, so that no key is found and every value silently takes its default).
std::optional<IniText> decodeIniBytes(QByteArrayView bytes, QString* problem = nullptr);

// The text in the file's own encoding, with its byte-order mark if it had one.
QByteArray encodeIniText(const IniText& contents);

} // namespace tarvex
