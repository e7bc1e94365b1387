#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace tarvex {

struct IniEntry {
    QString key;
    QString value;

    friend bool operator==(const IniEntry&, const IniEntry&) = default;
};

// Values are read up to this many characters, as the old program's profile functions read them.
inline constexpr qsizetype kMaxIniValueLength = 2047;

// The value of the first such key in the first section of that name, cut to kMaxIniValueLength.
std::optional<QString> findIniValue(QStringView text, QStringView section, QStringView key);

// The key=value lines of the first section of that name, in file order, duplicates included.
QList<IniEntry> iniSectionEntries(QStringView text, QStringView section);

// An integer value: optional sign and decimal digits only, within the range of int. Anything else (empty text,
// letters, "12abc", "0x10", inner blanks, overflow) is no integer, so the caller's default applies.
std::optional<int> parseIniInteger(QStringView value);

} // namespace tarvex
