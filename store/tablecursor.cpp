#include "tablecursor.h"

#include "decimal4.h"
#include "enginerefusal.h"
#include "sqlitehandle.h"
#include "storeerror.h"

#include <QDateTime>

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>

using namespace Qt::StringLiterals;

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

// Removes a row index from a list of them and renumbers the rows held after it.
void forgetRowIndex(std::vector<int>& indexes, int rowIndex) {
    std::erase(indexes, rowIndex);
    for (int& index : indexes) {
        if (index > rowIndex)
            --index;
    }
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

TableCursor::TableCursor(const TableDef& table, QObject* parent)
    : QObject(parent)
    , m_table(table) {}

void TableCursor::fail(RegisterTask task, const QSqlQuery& query) const {
    throw refusalError(task, refusalOf(query.lastError(), m_database), readSubject());
}

QString TableCursor::readSubject() const {
    return u"таблицу "_s + m_table.shownName();
}

// Read through SQLite's own interface (sqliteHandle), which keeps every character of a
// text and the storage class that tells a number from a text.
std::vector<TableCursor::Row> TableCursor::readAllRows() const {
    sqlite3* handle = sqliteHandle(m_database);
    const SqliteStatement select(
        handle,
        u"SELECT %1 FROM %2 ORDER BY id"_s.arg(schema::selectList(m_table, m_fileFormat), m_table.name).toUtf8(),
        readSubject());
    std::vector<Row> rows;
    const int columnCount = int(m_table.columns.size());
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        Row row;
        row.values.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c)
            row.values << fromStorage(m_table.columns[c], storedValue(select.get(), c));
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE)
        throw refusalError(RegisterTask::Read, refusalOf(handle), readSubject());
    return rows;
}

void TableCursor::open(const QSqlDatabase& database, int fileFormat) {
    m_database = database;
    m_fileFormat = fileFormat;
    std::vector<Row> rows = readAllRows();
    emit aboutToReset();
    m_rows = std::move(rows);
    m_sortedValid = false;
    m_buffer.clear();
    m_state = State::Browse;
    rebuildVisible(-1);
    emit reset();
    emit stateChanged(m_state);
}

void TableCursor::close() {
    emit aboutToReset();
    m_rows.clear();
    m_visible.clear();
    m_sorted.clear();
    m_sortedValid = false;
    m_buffer.clear();
    m_current = -1;
    m_eof = true;
    m_database = QSqlDatabase();
    emit reset();
    setState(State::Inactive);
}

void TableCursor::first() {
    setCurrent(m_visible.empty() ? -1 : 0);
    m_eof = m_visible.empty();
}

void TableCursor::next() {
    if (m_current + 1 < recordCount()) {
        setCurrent(m_current + 1);
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void TableCursor::setCurrentRow(int row) {
    if (row < 0 || row >= recordCount() || row == m_current)
        return;
    if (m_state != State::Browse)
        post();
    setCurrent(row);
    m_eof = false;
}

void TableCursor::setCurrent(int row) {
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

const QVariant& TableCursor::value(int column) const {
    return valueAt(m_current, column);
}

const QVariant& TableCursor::value(QStringView columnName) const {
    return value(columnOrThrow(columnName));
}

QString TableCursor::text(QStringView columnName) const {
    const int column = columnOrThrow(columnName);
    return displayText(m_table.columns[column], value(column));
}

const QVariant& TableCursor::valueAt(int row, int column) const {
    static const QVariant null;
    if (row < 0 || row >= recordCount() || column < 0 || column >= m_table.columns.size())
        return null;
    if (row == m_current && m_state != State::Browse)
        return m_buffer.at(column);
    return m_rows[m_visible[row]].values.at(column);
}

void TableCursor::setValue(QStringView columnName, const QVariant& value) {
    const int column = columnOrThrow(columnName);
    if (m_state != State::Edit && m_state != State::Insert)
        throw StoreError(u"Таблица %1 не находится в режиме правки"_s.arg(m_table.shownName()));
    if (m_table.columns[column].kind == ColumnKind::AutoId)
        throw StoreError(
            u"Поле «%1» таблицы %2 заполняется автоматически"_s.arg(m_table.columns[column].name, m_table.shownName()));
    m_buffer[column] = value;
    emit rowChanged(m_current);
}

int TableCursor::storedRowCount() const {
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.stored; }));
}

void TableCursor::insert() {
    requireBrowse(u"добавить запись");
    const int row = std::max(m_current, 0);
    emit rowAboutToBeInserted(row);
    Row pending;
    pending.stored = false;
    for (const ColumnDef& column : m_table.columns)
        pending.values << (column.kind == ColumnKind::Boolean ? QVariant(false) : QVariant());
    m_rows.push_back(pending);
    m_visible.insert(m_visible.begin() + row, int(m_rows.size()) - 1);
    m_buffer = pending.values;
    m_current = row;
    m_eof = false;
    setState(State::Insert);
    emit rowInserted(row);
    emit currentRowChanged(row);
}

void TableCursor::edit() {
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    requireBrowse(u"изменить запись");
    requireCurrent(u"изменить запись");
    m_buffer = m_rows[m_visible[m_current]].values;
    setState(State::Edit);
}

void TableCursor::post() {
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    for (int c = 0; c < m_table.columns.size(); ++c) {
        if (const auto problem = checkValue(m_table.columns[c], m_buffer[c]))
            throw StoreError(*problem);
    }
    // The row keeps each value in the form the store gives back, as rows read from it do.
    for (int c = 1; c < m_table.columns.size(); ++c)
        m_buffer[c] = fromStorage(m_table.columns[c], toStorage(m_table.columns[c], m_buffer[c]));
    const int rowIndex = m_visible[m_current];
    if (m_state == State::Insert)
        storeInsert();
    else
        storeUpdate();
    m_rows[rowIndex].values = m_buffer;
    m_rows[rowIndex].stored = true;
    m_rows[rowIndex].searchTexts.clear();
    m_sortedValid = false; // a new row, or an edit that may have changed the sort key
    m_buffer.clear();
    m_state = State::Browse;
    emit aboutToReset();
    rebuildVisible(rowIndex);
    emit reset();
    emit stateChanged(m_state);
}

void TableCursor::storeInsert() {
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (int c = 1; c < m_table.columns.size(); ++c) {
        if (m_table.columns[c].sinceFormat > m_fileFormat) // the file has no such column
            continue;
        names << m_table.columns[c].name;
        marks << u"?"_s;
        values << toStorage(m_table.columns[c], m_buffer[c]);
    }
    QSqlQuery query(m_database);
    if (!query.prepare(
            u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(m_table.name, names.join(u", "_s), marks.join(u", "_s))))
        fail(RegisterTask::Save, query);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        fail(RegisterTask::Save, query);
    m_buffer[0] = QVariant::fromValue<qint64>(query.lastInsertId().toLongLong());
}

void TableCursor::storeUpdate() {
    const QVariantList& stored = m_rows[m_visible[m_current]].values;
    QStringList assignments;
    QVariantList values;
    for (int c = 1; c < m_table.columns.size(); ++c) {
        // Only changed columns are written, so a change made meanwhile by another
        // copy of the program to another column of the row is kept.
        if (stored[c] == m_buffer[c] && stored[c].isNull() == m_buffer[c].isNull())
            continue;
        assignments << m_table.columns[c].name + u" = ?"_s;
        values << toStorage(m_table.columns[c], m_buffer[c]);
    }
    if (assignments.isEmpty())
        return;
    QSqlQuery query(m_database);
    if (!query.prepare(u"UPDATE %1 SET %2 WHERE id = ?"_s.arg(m_table.name, assignments.join(u", "_s))))
        fail(RegisterTask::Save, query);
    for (const QVariant& value : values)
        query.addBindValue(value);
    query.addBindValue(stored[0]);
    if (!query.exec())
        fail(RegisterTask::Save, query);
    if (query.numRowsAffected() == 0)
        throw StoreError(u"Запись таблицы %1 не найдена: возможно, её удалили в другой копии программы; изменения не "
                         u"сохранены"_s.arg(m_table.shownName()));
}

void TableCursor::cancel() {
    if (m_state == State::Edit) {
        m_buffer.clear();
        setState(State::Browse);
        emit rowChanged(m_current);
    } else if (m_state == State::Insert) {
        const int row = m_current;
        emit rowAboutToBeRemoved(row);
        m_visible.erase(m_visible.begin() + row);
        m_rows.pop_back(); // the pending row is always the last one held
        m_buffer.clear();
        m_state = State::Browse;
        m_current = -1;
        emit rowRemoved(row);
        setCurrent(std::min(row, recordCount() - 1));
        m_eof = m_current < 0;
        emit stateChanged(m_state);
    }
}

void TableCursor::remove() {
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    requireCurrent(u"удалить запись");
    const int row = m_current;
    const int rowIndex = m_visible[row];
    QSqlQuery query(m_database);
    query.prepare(u"DELETE FROM %1 WHERE id = ?"_s.arg(m_table.name));
    query.addBindValue(m_rows[rowIndex].values[0]);
    if (!query.exec())
        fail(RegisterTask::Delete, query);

    emit rowAboutToBeRemoved(row);
    m_rows.erase(m_rows.begin() + rowIndex);
    forgetRowIndex(m_visible, rowIndex);
    if (m_sortedValid)
        forgetRowIndex(m_sorted, rowIndex);
    m_current = -1;
    emit rowRemoved(row);
    setCurrent(std::min(row, recordCount() - 1));
    m_eof = m_current < 0;
}

void TableCursor::refresh() {
    requireBrowse(u"перечитать таблицу");
    std::vector<Row> fresh = readAllRows();
    std::unordered_map<qint64, int> byId;
    for (int i = 0; i < int(fresh.size()); ++i)
        byId.emplace(fresh[i].values[0].toLongLong(), i);

    const int currentIndex = m_current >= 0 ? m_visible[m_current] : -1;
    const qint64 currentId = currentIndex >= 0 ? m_rows[currentIndex].values[0].toLongLong() : -1;
    emit aboutToReset();
    std::vector<Row> kept;
    kept.reserve(m_rows.size());
    int keep = -1;
    for (const Row& row : m_rows) {
        const auto found = byId.find(row.values[0].toLongLong());
        if (found == byId.end())
            continue;
        if (row.values[0].toLongLong() == currentId)
            keep = int(kept.size());
        kept.push_back(std::move(fresh[found->second]));
    }
    m_rows = std::move(kept);
    m_sortedValid = false;
    rebuildVisible(keep);
    emit reset();
}

void TableCursor::forgetRows(QStringView columnName, qint64 value) {
    requireBrowse(u"убрать удалённые записи");
    const int column = columnOrThrow(columnName);
    const int currentIndex = m_current >= 0 ? m_visible[m_current] : -1;
    const qint64 currentId = currentIndex >= 0 ? m_rows[currentIndex].values[0].toLongLong() : -1;
    emit aboutToReset();
    std::erase_if(m_rows, [&](const Row& row) {
        return !row.values[column].isNull() && row.values[column].toLongLong() == value;
    });
    m_sortedValid = false;
    int keep = -1;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        if (m_rows[i].values[0].toLongLong() == currentId)
            keep = i;
    }
    rebuildVisible(keep);
    emit reset();
}

void TableCursor::setSort(QStringView sortText) {
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
    const int column = text.isEmpty() ? -1 : columnOrThrow(text);

    requireBrowse(u"упорядочить записи");
    // Every change of the rows keeps them in order, so the same sort again changes nothing.
    if (column == m_sortColumn && descending == m_sortDescending)
        return;
    const int currentIndex = m_current >= 0 ? m_visible[m_current] : -1;
    m_sortColumn = column;
    m_sortDescending = descending;
    m_sortedValid = false;
    emit aboutToReset();
    rebuildVisible(currentIndex);
    emit reset();
}

void TableCursor::setFilter(const RowFilter& filter) {
    if (const auto* search = std::get_if<SearchFilter>(&filter)) {
        for (const QString& column : search->columns)
            columnOrThrow(column);
    } else if (const auto* equals = std::get_if<EqualsFilter>(&filter)) {
        columnOrThrow(equals->column);
    } else if (const auto* ids = std::get_if<IdSetFilter>(&filter)) {
        columnOrThrow(ids->column);
    }
    requireBrowse(u"отобрать записи");
    m_filter = filter;
    if (m_filtered) {
        emit aboutToReset();
        rebuildVisible(m_current >= 0 ? m_visible[m_current] : -1);
        emit reset();
    }
}

void TableCursor::setFiltered(bool on) {
    if (on == m_filtered)
        return;
    requireBrowse(u"отобрать записи");
    m_filtered = on;
    emit aboutToReset();
    rebuildVisible(m_current >= 0 ? m_visible[m_current] : -1);
    emit reset();
}

bool TableCursor::passes(const Row& row) const {
    if (!m_filtered)
        return true;
    if (const auto* search = std::get_if<SearchFilter>(&m_filter)) {
        for (const QString& name : search->columns) {
            const int column = m_table.columnIndex(name);
            const QString text = displayText(m_table.columns[column], row.values[column]);
            if (text.contains(search->text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }
    if (const auto* equals = std::get_if<EqualsFilter>(&m_filter)) {
        const QVariant& value = row.values[m_table.columnIndex(equals->column)];
        return !value.isNull() && value.toLongLong() == equals->value;
    }
    if (const auto* ids = std::get_if<IdSetFilter>(&m_filter)) {
        const QVariant& value = row.values[m_table.columnIndex(ids->column)];
        return !value.isNull() && ids->values.contains(value.toLongLong());
    }
    return true;
}

bool TableCursor::sortsBefore(const Row& a, const Row& b) const {
    if (m_sortColumn >= 0) {
        int order = compareValues(m_table.columns[m_sortColumn], a.values[m_sortColumn], b.values[m_sortColumn]);
        if (m_sortDescending)
            order = -order;
        if (order != 0)
            return order < 0;
    }
    return heldInteger(a.values[0]) < heldInteger(b.values[0]);
}

void TableCursor::sortRows() {
    m_sorted.resize(m_rows.size());
    std::iota(m_sorted.begin(), m_sorted.end(), 0);
    if (m_sortColumn >= 0) {
        std::stable_sort(m_sorted.begin(), m_sorted.end(),
                         [this](int a, int b) { return sortsBefore(m_rows[a], m_rows[b]); });
    }
    m_sortedValid = true;
}

// Folds the searched texts of rows that have none yet; a search over other columns
// than the last one folds them all again.
void TableCursor::prepareSearchTexts(const SearchFilter& search) {
    QList<int> columns;
    for (const QString& name : search.columns)
        columns << m_table.columnIndex(name);
    if (columns != m_searchColumns) {
        m_searchColumns = columns;
        for (Row& row : m_rows)
            row.searchTexts.clear();
    }
    for (Row& row : m_rows) {
        if (row.searchTexts.size() == columns.size())
            continue;
        row.searchTexts.clear();
        for (const int column : columns)
            row.searchTexts << displayText(m_table.columns[column], row.values[column]).toCaseFolded();
    }
}

// Filtering the rows already in sort order keeps that order, as sorting the rows that pass would.
void TableCursor::rebuildVisible(int keepIndex) {
    if (!m_sortedValid)
        sortRows();
    m_visible.clear();
    const auto* search = m_filtered ? std::get_if<SearchFilter>(&m_filter) : nullptr;
    if (search && foldedSearchFits(search->text)) {
        prepareSearchTexts(*search);
        const QString foldedText = search->text.toCaseFolded();
        for (const int i : m_sorted) {
            if (anyContains(m_rows[i].searchTexts, foldedText))
                m_visible.push_back(i);
        }
    } else {
        for (const int i : m_sorted) {
            if (passes(m_rows[i]))
                m_visible.push_back(i);
        }
    }
    const int previous = m_current;
    m_current = -1;
    if (keepIndex >= 0) {
        const auto found = std::find(m_visible.begin(), m_visible.end(), keepIndex);
        if (found != m_visible.end())
            m_current = int(found - m_visible.begin());
    }
    if (m_current < 0 && !m_visible.empty())
        m_current = std::clamp(previous, 0, recordCount() - 1);
    m_eof = m_current < 0;
    emit currentRowChanged(m_current);
}

int TableCursor::columnOrThrow(QStringView columnName) const {
    const int column = m_table.columnIndex(columnName);
    if (column < 0)
        throw StoreError(u"В таблице %1 нет поля «%2»"_s.arg(m_table.shownName(), columnName));
    return column;
}

void TableCursor::requireBrowse(QStringView operation) const {
    if (m_state == State::Inactive)
        throw StoreError(u"Нельзя %1: таблица %2 не открыта"_s.arg(operation, m_table.shownName()));
    if (m_state != State::Browse)
        throw StoreError(u"Нельзя %1: сначала сохраните или отмените изменения записи таблицы %2"_s.arg(
            operation, m_table.shownName()));
}

void TableCursor::requireCurrent(QStringView operation) const {
    if (m_current < 0)
        throw StoreError(u"Нельзя %1: в таблице %2 нет текущей записи"_s.arg(operation, m_table.shownName()));
}

void TableCursor::setState(State state) {
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

} // namespace tarvex
