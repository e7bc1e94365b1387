#include "rowsortfilter.h"

#include "heldvalue.h"
#include "rowsortkeys.h"

#include <algorithm>

namespace tarvex {

namespace {

// A case-insensitive find folds each character as toCaseFolded() does, so a plain find of
// the folded text in folded texts finds the same rows. Not for a search text holding half
// of a surrogate pair (the find folds it on its own) or U+FFFD (what toCaseFolded() makes
// of a lone half), nor one holding the folded texts' separator: such a search is left to
// the case-insensitive find itself.
bool foldedSearchFits(QStringView text) {
    return std::none_of(text.begin(), text.end(), [](QChar unit) {
        return unit.isSurrogate() || unit == QChar::ReplacementCharacter || unit == FoldedRowTexts::kSeparator;
    });
}

} // namespace

SortText parseSortText(QStringView sortText) {
    QStringView text = sortText.trimmed();
    bool descending = false;
    if (text.endsWith(u" DESC", Qt::CaseInsensitive)) {
        descending = true;
        text.chop(5);
    } else if (text.endsWith(u" ASC", Qt::CaseInsensitive)) {
        text.chop(4);
    }
    text = text.trimmed();
    if (text.startsWith(u'[') && text.endsWith(u']'))
        text = text.mid(1, text.size() - 2);
    return {text, descending};
}

void forgetRowIndex(std::vector<int>& indexes, int rowIndex) {
    std::erase(indexes, rowIndex);
    for (int& index : indexes) {
        if (index > rowIndex)
            --index;
    }
}

RowSortFilter::RowSortFilter(const TableDef& table)
    : m_table(table) {}

bool RowSortFilter::setSort(int column, bool descending) {
    // Every change of the rows keeps them in order, so the same sort again changes nothing.
    if (column == m_sortColumn && descending == m_sortDescending)
        return false;
    m_sortColumn = column;
    m_sortDescending = descending;
    m_sortedValid = false;
    return true;
}

void RowSortFilter::setFilter(const RowFilter& filter) {
    m_filter = filter;
}

void RowSortFilter::setFiltered(bool on) {
    m_filtered = on;
}

void RowSortFilter::rowsReplaced() {
    m_sorted.clear();
    m_sortedValid = false;
    m_searchTexts.clear();
    m_foundValid = false;
}

void RowSortFilter::rowChanged(int rowIndex) {
    m_sortedValid = false; // a new row, or an edit that may have changed the sort key
    m_searchTexts.rowChanged(rowIndex);
    if (rowIndex < int(m_found.size()))
        m_found[rowIndex] = true; // it may hold the last search's text now
}

void RowSortFilter::rowRemoved(int rowIndex) {
    if (m_sortedValid)
        forgetRowIndex(m_sorted, rowIndex);
    m_searchTexts.rowRemoved(rowIndex);
    if (rowIndex < int(m_found.size()))
        m_found.erase(m_found.begin() + rowIndex);
}

bool RowSortFilter::passes(const HeldRows& rows, int row) const {
    if (!m_filtered)
        return true;
    if (const auto* search = std::get_if<SearchFilter>(&m_filter)) {
        for (const QString& name : search->columns) {
            const int column = m_table.columnIndex(name);
            const QString text = displayText(m_table.columns[column], rows.value(row, column));
            if (text.contains(search->text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }
    if (const auto* equals = std::get_if<EqualsFilter>(&m_filter)) {
        const int column = m_table.columnIndex(equals->column);
        return !rows.isNull(row, column) && rows.wholeNumber(row, column) == equals->value;
    }
    if (const auto* ids = std::get_if<IdSetFilter>(&m_filter)) {
        const int column = m_table.columnIndex(ids->column);
        return !rows.isNull(row, column) && ids->values.contains(rows.wholeNumber(row, column));
    }
    return true;
}

void RowSortFilter::findFolded(const SearchFilter& search, const HeldRows& rows) {
    QList<int> columns;
    for (const QString& name : search.columns)
        columns << m_table.columnIndex(name);
    if (columns != m_searchTexts.columns())
        m_foundValid = false;
    m_searchTexts.prepare(columns, rows);

    const QString foldedText = search.text.toCaseFolded();
    // A row that holds the text holds every part of it: typing on narrows the last search.
    if (!m_foundValid || !foldedText.contains(m_foundText))
        m_found.assign(std::size_t(rows.size()), true);
    m_found.resize(std::size_t(rows.size()), true); // rows added since
    for (std::size_t i = 0; i < m_found.size(); ++i) {
        if (m_found[i])
            m_found[i] = m_searchTexts.rowContains(int(i), foldedText);
    }
    m_foundText = foldedText;
    m_foundValid = true;
}

// Filtering the rows already in sort order keeps that order, as sorting the rows that pass would.
std::vector<int> RowSortFilter::visibleRows(const HeldRows& rows) {
    if (!m_sortedValid) {
        m_sorted = rowsInSortOrder(rows, m_sortColumn, m_sortDescending);
        m_sortedValid = true;
    }
    std::vector<int> visible;
    const auto* search = m_filtered ? std::get_if<SearchFilter>(&m_filter) : nullptr;
    if (search && foldedSearchFits(search->text)) {
        findFolded(*search, rows);
        for (const int i : m_sorted) {
            if (m_found[i])
                visible.push_back(i);
        }
    } else {
        for (const int i : m_sorted) {
            if (passes(rows, i))
                visible.push_back(i);
        }
    }
    return visible;
}

} // namespace tarvex
