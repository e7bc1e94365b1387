#include "rowsortfilter.h"

#include "decimal4.h"
#include "heldvalue.h"

#include <QDateTime>

#include <algorithm>
#include <numeric>

namespace tarvex {

namespace {

// In UTF-16, surrogates (D800-DFFF) sort below E000-FFFF; as code points they sort above.
char16_t codePointRank(char16_t unit) {
    if (unit >= 0xE000)
        return char16_t(unit - 0x800);
    if (unit >= 0xD800)
        return char16_t(unit + 0x2000);
    return unit;
}

// NULL is held as an invalid QVariant, so validity is the cheap NULL test.
int compareValues(const ColumnDef& column, const QVariant& a, const QVariant& b) {
    const bool aNull = !a.isValid();
    const bool bNull = !b.isValid();
    if (aNull || bNull)
        return int(bNull) - int(aNull); // NULL first
    switch (column.kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo:
        // Read in place: sorting ten thousand airlines must not copy their codes.
        return compareCodePoints(heldText(a), heldText(b));
    case ColumnKind::Decimal: {
        const auto x = a.value<Decimal4>().units();
        const auto y = b.value<Decimal4>().units();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case ColumnKind::Date: {
        const QDate x = a.toDate();
        const QDate y = b.toDate();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case ColumnKind::DateTime: {
        const QDateTime x = a.toDateTime();
        const QDateTime y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default: {
        const qint64 x = heldInteger(a);
        const qint64 y = heldInteger(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
}

// A case-insensitive find folds each character as toCaseFolded() does, so a plain find of
// the folded text in folded texts finds the same rows. Not for a search text holding half
// of a surrogate pair (the find folds it on its own) or U+FFFD (what toCaseFolded() makes
// of a lone half): such a search is left to the case-insensitive find itself.
bool foldedSearchFits(QStringView text) {
    return std::none_of(text.begin(), text.end(),
                        [](QChar unit) { return unit.isSurrogate() || unit == QChar::ReplacementCharacter; });
}

bool anyContains(const QStringList& foldedTexts, const QString& foldedText) {
    return std::any_of(foldedTexts.begin(), foldedTexts.end(),
                       [&](const QString& text) { return text.contains(foldedText); });
}

} // namespace

int compareCodePoints(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = codePointRank(a[i].unicode());
        const char16_t y = codePointRank(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

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
}

void RowSortFilter::rowChanged(int rowIndex) {
    m_sortedValid = false; // a new row, or an edit that may have changed the sort key
    if (rowIndex < int(m_searchTexts.size()))
        m_searchTexts[rowIndex].clear();
}

void RowSortFilter::rowRemoved(int rowIndex) {
    if (m_sortedValid)
        forgetRowIndex(m_sorted, rowIndex);
    if (rowIndex < int(m_searchTexts.size()))
        m_searchTexts.erase(m_searchTexts.begin() + rowIndex);
}

bool RowSortFilter::passes(const QVariantList& row) const {
    if (!m_filtered)
        return true;
    if (const auto* search = std::get_if<SearchFilter>(&m_filter)) {
        for (const QString& name : search->columns) {
            const int column = m_table.columnIndex(name);
            const QString text = displayText(m_table.columns[column], row[column]);
            if (text.contains(search->text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }
    if (const auto* equals = std::get_if<EqualsFilter>(&m_filter)) {
        const QVariant& value = row[m_table.columnIndex(equals->column)];
        return !value.isNull() && value.toLongLong() == equals->value;
    }
    if (const auto* ids = std::get_if<IdSetFilter>(&m_filter)) {
        const QVariant& value = row[m_table.columnIndex(ids->column)];
        return !value.isNull() && ids->values.contains(value.toLongLong());
    }
    return true;
}

bool RowSortFilter::sortsBefore(const QVariantList& a, const QVariantList& b) const {
    if (m_sortColumn >= 0) {
        int order = compareValues(m_table.columns[m_sortColumn], a[m_sortColumn], b[m_sortColumn]);
        if (m_sortDescending)
            order = -order;
        if (order != 0)
            return order < 0;
    }
    return heldInteger(a[0]) < heldInteger(b[0]);
}

void RowSortFilter::sortRows(const std::vector<QVariantList>& rows) {
    m_sorted.resize(rows.size());
    std::iota(m_sorted.begin(), m_sorted.end(), 0);
    if (m_sortColumn >= 0) {
        std::stable_sort(m_sorted.begin(), m_sorted.end(), [&](int a, int b) { return sortsBefore(rows[a], rows[b]); });
    }
    m_sortedValid = true;
}

// Folds the searched texts of rows that have none yet; a search over other columns
// than the last one folds them all again.
void RowSortFilter::prepareSearchTexts(const SearchFilter& search, const std::vector<QVariantList>& rows) {
    QList<int> columns;
    for (const QString& name : search.columns)
        columns << m_table.columnIndex(name);
    if (columns != m_searchColumns) {
        m_searchColumns = columns;
        m_searchTexts.clear();
    }
    m_searchTexts.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QStringList& texts = m_searchTexts[i];
        if (texts.size() == columns.size())
            continue;
        texts.clear();
        for (const int column : columns)
            texts << displayText(m_table.columns[column], rows[i][column]).toCaseFolded();
    }
}

// Filtering the rows already in sort order keeps that order, as sorting the rows that pass would.
std::vector<int> RowSortFilter::visibleRows(const std::vector<QVariantList>& rows) {
    if (!m_sortedValid)
        sortRows(rows);
    std::vector<int> visible;
    const auto* search = m_filtered ? std::get_if<SearchFilter>(&m_filter) : nullptr;
    if (search && foldedSearchFits(search->text)) {
        prepareSearchTexts(*search, rows);
        const QString foldedText = search->text.toCaseFolded();
        for (const int i : m_sorted) {
            if (anyContains(m_searchTexts[i], foldedText))
                visible.push_back(i);
        }
    } else {
        for (const int i : m_sorted) {
            if (passes(rows[i]))
                visible.push_back(i);
        }
    }
    return visible;
}

} // namespace tarvex
