#pragma once

#include <QStringView>

#include <functional>

namespace tarvex {

enum class IniLineKind {
    Blank,   // nothing but blanks
    Comment, // first non-blank character is ";"
    Section, // "[name]"; anything after the "]" is ignored
    Entry,   // "key=value"
    Other,   // any other text, ignored by the readers
};

// One physical line of an INI text. The views point into the parsed text.
struct IniLine {
    IniLineKind kind = IniLineKind::Blank;
    QStringView text;     // the whole line without its line end
    QStringView lineEnd;  // "\r\n", "\n", "\r", or empty for a last line without one
    qsizetype offset = 0; // position of the line in the parsed text
    // The section the line belongs to (for a Section line, the one it opens); lines before the first section
    // header belong to none.
    bool inSection = false;
    QStringView section;
    QStringView key;   // Entry: text before the first "=", without surrounding blanks
    QStringView value; // Entry: text after the first "=", without surrounding blanks, not cut
};

// Called for each line in file order; returning false stops the parse.
using IniLineVisitor = std::function<bool(const IniLine&)>;

// Hands every line of an INI text to the visitor, in file order, keeping nothing.
void parseIni(QStringView text, const IniLineVisitor& visit);

// Section and key names are matched without regard to case, Latin and Cyrillic alike.
bool sameIniName(QStringView a, QStringView b);

// Blanks are spaces and tabs.
bool isIniBlank(QChar c);

// Removes the blanks (spaces and tabs) that surround names and values.
QStringView trimIniBlanks(QStringView text);

} // namespace tarvex
