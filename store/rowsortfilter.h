#pragma once

#include "foldedrowtexts.h"
#include "heldrows.h"

#include <QSet>
#include <QStringList>

#include <variant>
#include <vector>

namespace tarvex {

// Rows in which the text occurs, ignoring letter case, in any of the columns.
// The text is taken literally: no character has a special meaning.
struct SearchFilter {
    QString text;
    QStringList columns;
};

// Rows whose integer column equals the value.
struct EqualsFilter {
    QString column;
    qint64 value = 0;
};

// Rows whose integer column holds one of the values.
struct IdSetFilter {
    QString column;
    QSet<qint64> values;
};

using RowFilter = std::variant<std::monostate, SearchFilter, EqualsFilter, IdSetFilter>;

// A sort as text names it: "AirCode ASC", "[AirCode] ASC" or "AirCode DESC"; an empty
// column for none.
struct SortText {
    QStringView column;
    bool descending = false;
};
SortText parseSortText(QStringView sortText);

// Removes a row index from a list of them and renumbers the rows held after it.
void forgetRowIndex(std::vector<int>& indexes, int rowIndex);

// Which of a table's held rows show, and in which order: a sort on one column (ties keep
// ascending id) and a filter that can be switched off. It works on indexes of the rows,
// which stay where they are held; the holder says when they change.
class RowSortFilter {
public:
    explicit RowSortFilter(const TableDef& table);

    // Sorts on the column (-1: store order). False when that is the sort already.
    bool setSort(int column, bool descending);
    // The columns a filter names must be the table's.
    void setFilter(const RowFilter& filter);
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }

    // Every held row may be new.
    void rowsReplaced();
    // The values of a row changed, or the row was added after the others.
    void rowChanged(int rowIndex);
    // The row is no longer held; the rows after it moved up by one.
    void rowRemoved(int rowIndex);

    // The indexes of the rows that pass the filter, in sort order.
    std::vector<int> visibleRows(const HeldRows& rows);

private:
    bool passes(const HeldRows& rows, int row) const;
    // Marks in m_found the rows in whose folded texts the search's text occurs.
    void findFolded(const SearchFilter& search, const HeldRows& rows);

    const TableDef& m_table;
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    RowFilter m_filter;
    bool m_filtered = false;
    // Indexes of all held rows in sort order, kept across filter changes so that typing
    // a search costs a filter pass only. Sorted again after the rows or the sort change.
    std::vector<int> m_sorted;
    bool m_sortedValid = false;
    FoldedRowTexts m_searchTexts;
    // For each held row, whether it may hold m_foundText (the last folded search text) in
    // the searched columns: a row the last search found, or one changed since. A search for
    // a text that contains m_foundText looks only at these rows. Valid while m_foundValid.
    std::vector<char> m_found;
    QString m_foundText;
    bool m_foundValid = false;
};

} // namespace tarvex
