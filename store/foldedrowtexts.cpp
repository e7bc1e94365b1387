#include "foldedrowtexts.h"

#include "casefold.h"
#include "heldvalue.h"

namespace tarvex {

void FoldedRowTexts::prepare(const QList<int>& columns, const HeldRows& rows) {
    // Texts left behind are dropped once they would take as much room as the texts in use.
    if (columns != m_columns || m_unusedUnits > m_buffer.size() / 2)
        clear();
    m_columns = columns;
    m_spans.resize(std::size_t(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        if (m_spans[std::size_t(row)].length < 0)
            appendRow(rows, row, m_spans[std::size_t(row)]);
    }
}

namespace {

// displayText() of the cell, without copying a text: a text column shows its text as held.
void appendDisplayText(QString& texts, const HeldRows& rows, int row, int column) {
    const ColumnKind kind = rows.table().column(column).kind;
    if ((kind == ColumnKind::Text || kind == ColumnKind::Memo) && rows.isHeld(row, column))
        texts += rows.text(row, column);
    else
        texts += displayText(rows.table().column(column), rows.value(row, column));
}

} // namespace

void FoldedRowTexts::appendRow(const HeldRows& rows, int row, Span& span) {
    const qsizetype start = m_buffer.size();
    for (const int column : std::as_const(m_columns)) {
        appendDisplayText(m_buffer, rows, row, column);
        m_buffer += kSeparator;
    }
    // Folding a row's texts together folds each of them as on its own: case folding maps
    // each character by itself, and the separator keeps two texts' characters apart. (A lone
    // half of a surrogate pair may fold otherwise; no search through these texts looks for one.)
    if (!foldCaseInPlace(m_buffer.data() + start, m_buffer.data() + m_buffer.size())) {
        const QString folded = QStringView(m_buffer).sliced(start).toString().toCaseFolded();
        m_buffer.resize(start);
        m_buffer += folded;
    }
    span = {start, m_buffer.size() - start};
}

void FoldedRowTexts::clear() {
    m_buffer.resize(0);
    m_spans.clear();
    m_unusedUnits = 0;
}

void FoldedRowTexts::rowChanged(int rowIndex) {
    if (rowIndex >= int(m_spans.size()))
        return;
    Span& span = m_spans[rowIndex];
    m_unusedUnits += std::max<qsizetype>(span.length, 0);
    span.length = -1;
}

void FoldedRowTexts::rowRemoved(int rowIndex) {
    if (rowIndex >= int(m_spans.size()))
        return;
    m_unusedUnits += std::max<qsizetype>(m_spans[rowIndex].length, 0);
    m_spans.erase(m_spans.begin() + rowIndex);
}

bool FoldedRowTexts::rowContains(int rowIndex, QStringView foldedText) const {
    const Span& span = m_spans[rowIndex];
    return QStringView(m_buffer).sliced(span.start, span.length).contains(foldedText);
}

} // namespace tarvex
