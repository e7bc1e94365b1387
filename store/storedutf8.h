#pragma once

#include <QByteArrayView>
#include <QString>

namespace tarvex {

// Decodes a text of the register from the UTF-8 SQLite keeps it in. The result is what
// QString::fromUtf8() gives (an invalid byte becomes U+FFFD), except that a byte order
// mark opening the text is kept as the character it is, where fromUtf8() drops it.
//
// A generation walk decodes every text of every condition, so the common case is done
// here directly: a text of ASCII and two-byte sequences (Latin and Cyrillic letters,
// nearly the whole register) is written straight into `text`, whose storage is reused
// when nothing else shares it. Any other text goes to Qt's decoder.
void assignStoredUtf8(QString& text, QByteArrayView utf8);

inline QString storedUtf8(QByteArrayView utf8) {
    QString text;
    assignStoredUtf8(text, utf8);
    return text;
}

} // namespace tarvex
