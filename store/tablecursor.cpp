#include "tablecursor.h"

#include <optional>

#include "storeerror.h"
#include "tablereader.h"
#include "tablewriter.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace tarvex {

TableCursor::TableCursor(const TableDef& table, QObject* parent)
    : QObject(parent)
    , m_table(table)
    , m_rows(table)
    , m_sortFilter(table) {}

TableWriter TableCursor::writer(RegisterTask task) const {
    return TableWriter(m_database, m_table, m_fileFormat, task);
}

void TableCursor::open(const QSqlDatabase& database, int fileFormat) {
    m_database = database;
    m_fileFormat = fileFormat;
    HeldRows rows = readTableRows(m_database, m_table, m_fileFormat);
    emit aboutToReset();
    m_rows = std::move(rows);
    m_sortFilter.rowsReplaced();
    m_buffer.clear();
    m_state = State::Browse;
    rebuildVisible(-1);
    emit reset();
    emit stateChanged(m_state);
}

void TableCursor::close() {
    emit aboutToReset();
    m_rows = HeldRows(m_table);
    m_visible.clear();
    m_sortFilter.rowsReplaced();
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

QVariant TableCursor::value(int column) const {
    return valueAt(m_current, column);
}

QVariant TableCursor::value(QStringView columnName) const {
    return value(columnOrThrow(columnName));
}

QString TableCursor::text(QStringView columnName) const {
    const int column = columnOrThrow(columnName);
    return displayText(m_table.columns[column], value(column));
}

QVariant TableCursor::valueAt(int row, int column) const {
    if (row < 0 || row >= recordCount() || column < 0 || column >= m_table.columns.size())
        return {};
    if (row == m_current && m_state != State::Browse)
        return m_buffer.at(column);
    return m_rows.value(m_visible[row], column);
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
    return m_rows.size() - (m_state == State::Insert ? 1 : 0);
}

void TableCursor::insert() {
    requireBrowse(u"добавить запись");
    const int row = std::max(m_current, 0);
    emit rowAboutToBeInserted(row);
    QVariantList pending;
    for (const ColumnDef& column : m_table.columns)
        pending << (column.kind == ColumnKind::Boolean ? QVariant(false) : QVariant());
    m_rows.append(pending);
    m_visible.insert(m_visible.begin() + row, m_rows.size() - 1);
    m_buffer = pending;
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
    m_buffer = m_rows.row(m_visible[m_current]);
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
    const int rowIndex = currentIndex();
    std::optional<RowChangedElsewhere> refused;
    if (m_state == State::Insert) {
        m_lastInsertedId = writer(RegisterTask::Save).insertRow(m_buffer);
        m_buffer[0] = QVariant::fromValue<qint64>(m_lastInsertedId);
    } else {
        try {
            writer(RegisterTask::Save).updateRow(m_rows.row(rowIndex), m_buffer);
        } catch (const RowChangedElsewhere& changed) {
            // The other copy's values win: the row shows what is stored, and the edit ends.
            refused = changed;
            m_buffer = changed.storedRow();
        }
    }
    m_rows.replace(rowIndex, m_buffer);
    m_sortFilter.rowChanged(rowIndex);
    m_buffer.clear();
    m_state = State::Browse;
    emit aboutToReset();
    rebuildVisible(rowIndex);
    emit reset();
    emit stateChanged(m_state);
    if (refused)
        throw *refused;
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
        m_rows.removeAt(m_rows.size() - 1); // the pending row is always the last one held
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
    writer(RegisterTask::Delete).deleteRow(m_rows.value(rowIndex, 0));

    emit rowAboutToBeRemoved(row);
    m_rows.removeAt(rowIndex);
    forgetRowIndex(m_visible, rowIndex);
    m_sortFilter.rowRemoved(rowIndex);
    m_current = -1;
    emit rowRemoved(row);
    setCurrent(std::min(row, recordCount() - 1));
    m_eof = m_current < 0;
}

void TableCursor::refresh() {
    requireBrowse(u"перечитать таблицу");
    const HeldRows fresh = readTableRows(m_database, m_table, m_fileFormat);
    std::unordered_map<qint64, int> byId;
    for (int i = 0; i < fresh.size(); ++i)
        byId.emplace(fresh.id(i), i);

    const int current = currentIndex();
    const qint64 currentId = current >= 0 ? m_rows.id(current) : -1;
    emit aboutToReset();
    std::vector<int> kept;
    kept.reserve(std::size_t(m_rows.size()));
    int keep = -1;
    for (int row = 0; row < m_rows.size(); ++row) {
        const auto found = byId.find(m_rows.id(row));
        if (found == byId.end())
            continue;
        if (m_rows.id(row) == currentId)
            keep = int(kept.size());
        kept.push_back(found->second);
    }
    m_rows = fresh.picked(kept);
    m_sortFilter.rowsReplaced();
    rebuildVisible(keep);
    emit reset();
}

void TableCursor::forgetRows(QStringView columnName, qint64 value) {
    requireBrowse(u"убрать удалённые записи");
    const int column = columnOrThrow(columnName);
    const int current = currentIndex();
    const qint64 currentId = current >= 0 ? m_rows.id(current) : -1;
    emit aboutToReset();
    std::vector<int> kept;
    int keep = -1;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (!m_rows.isNull(row, column) && m_rows.wholeNumber(row, column) == value)
            continue;
        if (m_rows.id(row) == currentId)
            keep = int(kept.size());
        kept.push_back(row);
    }
    m_rows = m_rows.picked(kept);
    m_sortFilter.rowsReplaced();
    rebuildVisible(keep);
    emit reset();
}

void TableCursor::setSort(QStringView sortText) {
    const SortText sort = parseSortText(sortText);
    const int column = sort.column.isEmpty() ? -1 : columnOrThrow(sort.column);
    requireBrowse(u"упорядочить записи");
    const int current = currentIndex();
    if (!m_sortFilter.setSort(column, sort.descending))
        return;
    emit aboutToReset();
    rebuildVisible(current);
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
    m_sortFilter.setFilter(filter);
    if (isFiltered()) {
        emit aboutToReset();
        rebuildVisible(currentIndex());
        emit reset();
    }
}

void TableCursor::setFiltered(bool on) {
    if (on == isFiltered())
        return;
    requireBrowse(u"отобрать записи");
    m_sortFilter.setFiltered(on);
    emit aboutToReset();
    rebuildVisible(currentIndex());
    emit reset();
}

void TableCursor::rebuildVisible(int keepIndex) {
    m_visible = m_sortFilter.visibleRows(m_rows);
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
