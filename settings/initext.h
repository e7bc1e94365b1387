#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tarvex {

// The decoded contents of an INI file together with what is needed to write it back in its own form.
struct IniText {
    QString text;
    bool hasByteOrderMark = false;
};

// Skips a UTF-8 byte-order mark and decodes the rest as UTF-8; bytes that are not valid UTF-8 come from the old
// Windows program and are decoded as Windows-1251.
IniText decodeIniBytes(QByteArrayView bytes);

// UTF-8, with the byte-order mark only when the file already had one.
QByteArray encodeIniText(const IniText& contents);

} // namespace tarvex
