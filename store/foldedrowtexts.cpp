#include "foldedrowtexts.h"

#include "casefold.h"
#include "heldvalue.h"

namespace tarvex {

void FoldedRowTexts::prepare(const TableDef& table, const QList<int>& columns, const std::vector<QVariantList>& rows) {
    // Texts left behind are dropped once they would take as much room as the texts in use.
    if (columns != m_columns || m_unusedUnits > m_buffer.size() / 2)
        clear();
    m_columns = columns;
    m_spans.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (m_spans[i].length < 0)
            appendRow(table, rows[i], m_spans[i]);
    }
}

namespace {

// displayText() of the value, without copying a text: a text column shows its text as held.
void appendDisplayText(QString& texts, const ColumnDef& column, const QVariant& value) {
    const bool textColumn = column.kind == ColumnKind::Text || column.kind == ColumnKind::Memo;
    if (textColumn && value.typeId() == QMetaType::QString)
        texts += *static_cast<const QString*>(value.constData());
    else
        texts += displayText(column, value);
}

} // namespace

void FoldedRowTexts::appendRow(const TableDef& table, const QVariantList& row, Span& span) {
    const qsizetype start = m_buffer.size();
    for (const int column : std::as_const(m_columns)) {
        appendDisplayText(m_buffer, table.columns[column], row[column]);
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
