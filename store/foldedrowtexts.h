#pragma once

#include "heldrows.h"

#include <QList>
#include <QString>

#include <vector>

namespace tarvex {

// The case-folded display texts of some columns of every held row, side by side in one
// buffer, each followed by a separator: a search looks through them without allocating or
// converting anything. A row's texts are made when a search first needs them, and again
// after its values change.
class FoldedRowTexts {
public:
    // Stands after each text, so that a search text without it never matches across two.
    static constexpr QChar kSeparator = QChar(u'\0');

    const QList<int>& columns() const { return m_columns; }
    // Gives every row its texts of the columns; other columns than before make them all again.
    void prepare(const QList<int>& columns, const HeldRows& rows);

    // Every held row may be new.
    void clear();
    // The row's values changed; its texts are made again by the next prepare().
    void rowChanged(int rowIndex);
    // The row is no longer held; the rows after it moved up by one.
    void rowRemoved(int rowIndex);

    // Whether a case-folded text holding no kSeparator occurs in one of the row's texts.
    bool rowContains(int rowIndex, QStringView foldedText) const;

private:
    struct Span {
        qsizetype start = 0;
        qsizetype length = -1; // -1: not made yet
    };
    void appendRow(const HeldRows& rows, int row, Span& span);

    QList<int> m_columns;
    QString m_buffer;
    std::vector<Span> m_spans;   // for each held row, where its texts stand in m_buffer
    qsizetype m_unusedUnits = 0; // of texts left behind by changed and removed rows
    QString m_rowText;           // the row being made, reused
};

} // namespace tarvex
