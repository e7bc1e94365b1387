// Feeds arbitrary bytes through the INI layer the settings file is read and written with, and checks that an
// edit sets what it says and leaves every other section as it was.
#include "settings/iniedit.h"
#include "settings/iniparser.h"
#include "settings/iniquery.h"
#include "settings/initext.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace tarvex;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

// What a reader gives back for a written value: one line, blanks around it removed, cut to the read limit.
QString expectedReadBack(QString value) {
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    QString trimmed = trimIniBlanks(value).toString();
    if (trimmed.size() > kMaxIniValueLength) {
        trimmed.truncate(kMaxIniValueLength);
        if (trimmed.back().isHighSurrogate())
            trimmed.chop(1);
    }
    return trimmed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::array<QString, 4> sections{u"params"_s, u"GROUP"_s, u"Раздел"_s, u"xls"_s};
    static const std::array<QString, 4> keys{u"header"_s, u"1"_s, u"Ключ"_s, u"DATE"_s};
    if (size == 0)
        return 0;

    // The first byte picks the names to edit; the rest is the file.
    const std::uint8_t pick = data[0];
    const QString& section = sections[pick & 3];
    const QString& key = keys[(pick >> 2) & 3];
    const std::optional<IniText> contents = decodeIniBytes(QByteArrayView(data + 1, qsizetype(size - 1)));
    if (!contents)
        return 0; // a file no encoding reads is refused before any edit
    const QString& text = contents->text;

    const std::optional<IniText> again = decodeIniBytes(encodeIniText(*contents));
    check(again && again->text == text && again->encoding == contents->encoding);
    for (const QString& name : sections) {
        if (const std::optional<QString> value = findIniValue(text, name, key)) {
            check(value->size() <= kMaxIniValueLength);
            if (const std::optional<int> number = parseIniInteger(*value))
                check(parseIniInteger(QString::number(*number)) == number);
        }
    }

    // The value written is a piece of the file itself, so it holds whatever the input holds.
    const QString value = text.left(text.size() / 3);
    const QString written = iniTextWithValue(text, section, key, value);
    check(findIniValue(written, section, key) == expectedReadBack(value));
    const QString erased = iniTextWithoutSection(written, section);
    check(iniSectionEntries(erased, section).isEmpty());
    for (const QString& other : sections) {
        if (!sameIniName(other, section)) {
            check(iniSectionEntries(written, other) == iniSectionEntries(text, other));
            check(iniSectionEntries(erased, other) == iniSectionEntries(text, other));
        }
    }
    return 0;
}
