#include "xmlwriter.h"

#include "numbertext.h"

namespace tarvex::xlsx {

namespace {

// Parts reach the sink in pieces of about this size.
constexpr std::size_t kFlushSize = 64 * 1024;

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// Whether position i starts a literal _xHHHH_, which readers would take for an escape.
template <typename Unit>
bool startsEscapeLookalike(const Unit* text, std::size_t size, std::size_t i) {
    if (i + 6 >= size || text[i + 1] != 'x' || text[i + 6] != '_')
        return false;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        if (!isHexDigit(char16_t(text[k])))
            return false;
    }
    return true;
}

void appendCharacterEscape(std::string& out, char32_t c) {
    const char escape[7] = {'_',
                            'x',
                            kHexDigits[(c >> 12) & 0xF],
                            kHexDigits[(c >> 8) & 0xF],
                            kHexDigits[(c >> 4) & 0xF],
                            kHexDigits[c & 0xF],
                            '_'};
    out.append(escape, sizeof escape);
}

// The ASCII part shared by both escapers; false for a control character XML forbids.
bool appendAscii(std::string& out, char c) {
    switch (c) {
    case '&':
        out.append("&amp;");
        return true;
    case '<':
        out.append("&lt;");
        return true;
    case '>':
        out.append("&gt;");
        return true;
    case '"':
        out.append("&quot;");
        return true;
    case '\'':
        out.append("&apos;");
        return true;
    case '\t':
    case '\n':
    case '\r':
        out.push_back(c);
        return true;
    default:
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
        out.push_back(c);
        return true;
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    }
    out.push_back(char(0x80 | (c & 0x3F)));
}

} // namespace

void appendEscaped(std::string& out, QStringView text) {
    const char16_t* units = text.utf16();
    const std::size_t size = std::size_t(text.size());
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = units[i];
        if (c < 0x80) {
            if (c == u'_' && startsEscapeLookalike(units, size, i))
                out.append("_x005F_");
            else if (!appendAscii(out, char(c)))
                appendCharacterEscape(out, c);
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < size && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) {
            appendCharacterEscape(out, c);
        } else {
            appendUtf8(out, c);
        }
    }
}

void appendEscaped(std::string& out, std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '_' && startsEscapeLookalike(utf8.data(), utf8.size(), i))
            out.append("_x005F_");
        else if (!appendAscii(out, c))
            appendCharacterEscape(out, static_cast<unsigned char>(c));
    }
}

XmlWriter::XmlWriter(ByteSink& sink, int depth)
    : m_sink(sink)
    , m_depth(depth) {
    m_buffer.reserve(kFlushSize + 4096);
}

void XmlWriter::declaration() {
    m_buffer.append(R"(<?xml version="1.0" encoding="UTF-8"?>)");
    lineEnd();
}

void XmlWriter::begin(std::string_view name) {
    indent();
    m_buffer.push_back('<');
    m_buffer.append(name);
}

void XmlWriter::attribute(std::string_view name, std::string_view value) {
    attributeName(name);
    appendEscaped(m_buffer, value);
    m_buffer.push_back('"');
}

void XmlWriter::attribute(std::string_view name, QStringView value) {
    attributeName(name);
    appendEscaped(m_buffer, value);
    m_buffer.push_back('"');
}

void XmlWriter::attribute(std::string_view name, qint64 value) {
    attributeVerbatim(name, integerText(value).view());
}

void XmlWriter::attributeVerbatim(std::string_view name, std::string_view value) {
    attributeName(name);
    m_buffer.append(value);
    m_buffer.push_back('"');
}

void XmlWriter::endEmpty() {
    m_buffer.append("/>");
    lineEnd();
}

void XmlWriter::endOpen() {
    m_buffer.push_back('>');
    lineEnd();
    ++m_depth;
}

void XmlWriter::endWithText(std::string_view name, QStringView text) {
    m_buffer.push_back('>');
    appendEscaped(m_buffer, text);
    closeTag(name);
}

void XmlWriter::endWithText(std::string_view name, std::string_view text) {
    m_buffer.push_back('>');
    appendEscaped(m_buffer, text);
    closeTag(name);
}

void XmlWriter::close(std::string_view name) {
    --m_depth;
    indent();
    closeTag(name);
}

void XmlWriter::emptyElement(std::string_view name) {
    begin(name);
    endEmpty();
}

void XmlWriter::openElement(std::string_view name) {
    begin(name);
    endOpen();
}

void XmlWriter::textElement(std::string_view name, std::string_view text) {
    begin(name);
    endWithText(name, text);
}

bool XmlWriter::finish() {
    if (m_ok && !m_buffer.empty())
        m_ok = m_sink.write(m_buffer.data(), qsizetype(m_buffer.size()));
    m_buffer.clear();
    return m_ok;
}

void XmlWriter::lineEnd() {
    m_buffer.append("\r\n");
    if (m_buffer.size() >= kFlushSize) {
        if (m_ok)
            m_ok = m_sink.write(m_buffer.data(), qsizetype(m_buffer.size()));
        m_buffer.clear();
    }
}

void XmlWriter::attributeName(std::string_view name) {
    m_buffer.push_back(' ');
    m_buffer.append(name);
    m_buffer.append("=\"");
}

void XmlWriter::closeTag(std::string_view name) {
    m_buffer.append("</");
    m_buffer.append(name);
    m_buffer.push_back('>');
    lineEnd();
}

void XmlWriter::indent() {
    m_buffer.append(std::size_t(m_depth), ' ');
}

} // namespace tarvex::xlsx
