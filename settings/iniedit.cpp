#include "iniedit.h"

#include "iniparser.h"

#include <optional>

namespace tarvex {

namespace {

QStringView lineEndOf(QStringView text) {
    std::optional<QStringView> first;
    parseIni(text, [&](const IniLine& line) {
        if (!line.lineEnd.isEmpty())
            first = line.lineEnd;
        return !first;
    });
    return first.value_or(u"\r\n");
}

QString singleLine(QStringView value) {
    QString line = value.toString();
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    return line;
}

// Where a key of the first section named section is, or where a new one goes.
struct KeyPlace {
    bool sectionFound = false;
    std::optional<IniLine> keyLine;
    IniLine lastLine; // last line of the section that is neither blank nor a comment
};

KeyPlace findKeyPlace(QStringView text, QStringView section, QStringView key) {
    KeyPlace place;
    parseIni(text, [&](const IniLine& line) {
        const bool inTarget = line.inSection && sameIniName(line.section, section);
        // Only the first section of that name is written, even when the name comes again later.
        if (line.kind == IniLineKind::Section && place.sectionFound)
            return false;
        if (!inTarget)
            return true;
        place.sectionFound = true;
        if (line.kind == IniLineKind::Entry && sameIniName(line.key, key)) {
            place.keyLine = line;
            return false;
        }
        if (line.kind != IniLineKind::Blank && line.kind != IniLineKind::Comment)
            place.lastLine = line;
        return true;
    });
    return place;
}

} // namespace

QString iniTextWithValue(QStringView text, QStringView section, QStringView key, QStringView value) {
    const QString newValue = singleLine(value);
    const QString lineEnd = lineEndOf(text).toString();
    const KeyPlace place = findKeyPlace(text, section, key);
    QString result = text.toString();

    if (place.keyLine) {
        // Keep the key as spelled in the file and the blanks around "="; replace what follows.
        const IniLine& line = *place.keyLine;
        qsizetype valueStart = line.text.indexOf(u'=') + 1;
        while (valueStart < line.text.size() && isIniBlank(line.text[valueStart]))
            ++valueStart;
        return result.replace(line.offset + valueStart, line.text.size() - valueStart, newValue);
    }

    const QString keyLine = key.toString() + u'=' + newValue;
    if (place.sectionFound) {
        const IniLine& after = place.lastLine;
        const qsizetype at = after.offset + after.text.size() + after.lineEnd.size();
        return result.insert(at, after.lineEnd.isEmpty() ? lineEnd + keyLine : keyLine + lineEnd);
    }

    if (!result.isEmpty() && !result.endsWith(u'\n') && !result.endsWith(u'\r'))
        result += lineEnd;
    return result + u'[' + section.toString() + u']' + lineEnd + keyLine + lineEnd;
}

QString iniTextWithoutSection(QStringView text, QStringView section) {
    QString result;
    result.reserve(text.size());
    parseIni(text, [&](const IniLine& line) {
        if (!line.inSection || !sameIniName(line.section, section))
            result.append(line.text).append(line.lineEnd);
        return true;
    });
    return result;
}

} // namespace tarvex
