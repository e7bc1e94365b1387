#pragma once

#include <QStringView>

#include <string>
#include <string_view>

namespace tarvex::xlsx {

// Where the bytes of a part go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const char* data, qsizetype size) = 0;
};

// Appends text as UTF-8 with the five XML entities, writing characters XML 1.0 does
// not allow as _xHHHH_ and the underscore of a literal _xHHHH_ as _x005F_.
void appendEscaped(std::string& out, QStringView text);
void appendEscaped(std::string& out, std::string_view utf8);

// Writes one part: one element per line with CR LF, one space of indentation per
// enclosing element, text-holding elements on one line. Bytes gather in a buffer
// that is handed to the sink whenever it fills.
class XmlWriter {
public:
    // depth: the elements already open around what this writer writes, when a part is written in pieces.
    explicit XmlWriter(ByteSink& sink, int depth = 0);

    void declaration();

    // An element is begun, given its attributes, then ended in one of three ways.
    void begin(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void attribute(std::string_view name, QStringView value);
    void attribute(std::string_view name, const char* value) { attribute(name, std::string_view(value)); }
    void attribute(std::string_view name, qint64 value);
    void attribute(std::string_view name, int value) { attribute(name, qint64(value)); }
    void attribute(std::string_view name, bool value) { attribute(name, value ? "true" : "false"); }
    // For values that hold nothing to escape, such as numbers and cell references.
    void attributeVerbatim(std::string_view name, std::string_view value);
    void endEmpty();                                           // "/>"
    void endOpen();                                            // ">", children follow
    void endWithText(std::string_view name, QStringView text); // ">text</name>"
    void endWithText(std::string_view name, std::string_view text);
    void close(std::string_view name); // "</name>" of an element ended with endOpen()

    // Shorthands for elements without attributes.
    void emptyElement(std::string_view name);
    void openElement(std::string_view name);
    void textElement(std::string_view name, std::string_view text);

    // Hands the rest to the sink; false when any write failed.
    bool finish();

private:
    void attributeName(std::string_view name); // ' name="'
    void closeTag(std::string_view name);      // "</name>" and the line end
    void lineEnd();
    void indent();

    ByteSink& m_sink;
    std::string m_buffer;
    int m_depth = 0;
    bool m_ok = true;
};

} // namespace tarvex::xlsx
