#include "sharedstrings.h"

#include "parts.h"
#include "xmlwriter.h"

namespace tarvex::xlsx {

int SharedStrings::indexOf(const QString& text) {
    const auto known = m_indexes.constFind(text);
    if (known != m_indexes.constEnd())
        return known.value();
    const int index = int(m_strings.size());
    m_indexes.insert(text, index);
    m_strings.append(text);
    return index;
}

bool needsSharedString(QStringView text) {
    if (text.isEmpty())
        return false;
    return text.front() == u' ' || text.back() == u' ' || text.contains(u'\r') || text.contains(u'\n');
}

bool writeSharedStringsPart(const SharedStrings& sharedStrings, ByteSink& sink) {
    XmlWriter xml(sink);
    xml.declaration();
    const int count = int(sharedStrings.strings().size());
    xml.begin("sst");
    xml.attribute("count", count);
    xml.attribute("uniqueCount", count);
    xml.attribute("xmlns", "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    if (count == 0) {
        xml.endEmpty();
        return xml.finish();
    }
    xml.endOpen();
    for (const QString& text : sharedStrings.strings()) {
        xml.openElement("si");
        xml.begin("t");
        if (text.startsWith(u' ') || text.endsWith(u' '))
            xml.attribute("xml:space", "preserve");
        xml.endWithText("t", text);
        xml.close("si");
    }
    xml.close("sst");
    return xml.finish();
}

} // namespace tarvex::xlsx
