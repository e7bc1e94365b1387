#pragma once

#include <QString>
#include <QStringView>

namespace tarvex {

// The joining pass of the Smart Key script. Line ends of any kind (CR LF, lone CR,
// lone LF) end a line; a line ending in ">" is joined to the next one, and after that
// a line ending in "then" in any letter case is joined to the next one with "then"
// written in lower case. Every line of the result ends with CR LF.
//
// The text is read once from front to back, so the pass takes time linear in its size.
class SmartKeyLineJoiner {
public:
    // Feeds text that ends at a line end; a last piece without one counts as a line.
    void addText(QStringView text);

    // The text joined so far. It is final, so a caller may take it away between calls.
    QString& joined() { return m_result; }

    // The rest of the joined text, its last line ended.
    QString finish();

private:
    void addLine(QStringView line);

    QString m_result;
    bool m_lineOpen = false; // the last line was joined to the next and has no line end yet
};

} // namespace tarvex
