#pragma once

#include <QString>
#include <QStringView>

namespace tarvex {

// Edits of an INI text that change only the lines they are about; every other line, comments and blank lines
// included, stays exactly as it was. New lines take the line end the text already uses, CR LF in a text
// without one. Section and key names are expected to be plain names (no line break, "=" or "]").

// Sets key in the first section of that name: replaces the value of its first occurrence in place, or adds the
// key after the section's last line, or adds the section at the end. A line break in value becomes a blank, so
// a value can never add lines of its own.
QString iniTextWithValue(QStringView text, QStringView section, QStringView key, QStringView value);

// Removes every section of that name with all its lines.
QString iniTextWithoutSection(QStringView text, QStringView section);

} // namespace tarvex
