#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tarvex::xlsx {

// The workbook's shared string table, filled in the order the cells are written.
class SharedStrings {
public:
    // The index of the text, appended when it is new (exact match).
    int indexOf(const QString& text);
    const QStringList& strings() const { return m_strings; }

private:
    QStringList m_strings;
    QHash<QString, int> m_indexes;
};

// Texts with a leading or trailing space or a line break go to the shared table; the
// rest are written inline in their cells.
bool needsSharedString(QStringView text);

} // namespace tarvex::xlsx
