#include "iniquery.h"

#include "iniparser.h"

#include <algorithm>

namespace tarvex {

namespace {

QString cutValue(QStringView value) {
    if (value.size() > kMaxIniValueLength) {
        value.truncate(kMaxIniValueLength);
        // Never leave half of a surrogate pair at the cut.
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value.toString();
}

// Visits the entries of the first section named section; returning false from onEntry stops.
template <typename OnEntry>
void visitSectionEntries(QStringView text, QStringView section, OnEntry onEntry) {
    bool found = false;
    parseIni(text, [&](const IniLine& line) {
        const bool inTarget = line.inSection && sameIniName(line.section, section);
        if (line.kind == IniLineKind::Section && found)
            return false;
        found = found || inTarget;
        if (line.kind == IniLineKind::Entry && inTarget)
            return onEntry(line);
        return true;
    });
}

} // namespace

std::optional<QString> findIniValue(QStringView text, QStringView section, QStringView key) {
    std::optional<QString> value;
    visitSectionEntries(text, section, [&](const IniLine& line) {
        if (!sameIniName(line.key, key))
            return true;
        value = cutValue(line.value);
        return false;
    });
    return value;
}

QList<IniEntry> iniSectionEntries(QStringView text, QStringView section) {
    QList<IniEntry> entries;
    visitSectionEntries(text, section, [&](const IniLine& line) {
        entries.append({line.key.toString(), cutValue(line.value)});
        return true;
    });
    return entries;
}

std::optional<int> parseIniInteger(QStringView value) {
    const bool hasSign = !value.isEmpty() && (value.front() == u'+' || value.front() == u'-');
    const QStringView digits = hasSign ? value.sliced(1) : value;
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const int number = value.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return number;
}

} // namespace tarvex
