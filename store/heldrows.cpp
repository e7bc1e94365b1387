#include "heldrows.h"

#include "decimal4.h"

#include <QDate>

namespace tarvex {

namespace {

// The type of a value the column holds, in the form fromStorage() gives it.
int heldTypeId(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Boolean:
        return QMetaType::Bool;
    case ColumnKind::Decimal:
        return qMetaTypeId<Decimal4>();
    case ColumnKind::Date:
        return QMetaType::QDate;
    case ColumnKind::DateTime:
        return QMetaType::QDateTime;
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return QMetaType::QString;
    default:
        return QMetaType::LongLong;
    }
}

template <typename T>
const T& held(const QVariant& value) {
    return *static_cast<const T*>(value.constData());
}

} // namespace

HeldRows::Cells HeldRows::emptyCells(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return std::vector<QString>();
    case ColumnKind::DateTime:
        return std::vector<QDateTime>();
    default:
        return std::vector<qint64>();
    }
}

HeldRows::HeldRows(const TableDef& table)
    : m_table(&table) {
    m_columns.reserve(std::size_t(table.columns.size()));
    for (const ColumnDef& column : table.columns)
        m_columns.push_back(Column{column.kind, {}, emptyCells(column.kind), {}});
}

void HeldRows::reserve(int rows) {
    for (Column& column : m_columns) {
        column.states.reserve(std::size_t(rows));
        std::visit([rows](auto& cells) { cells.reserve(std::size_t(rows)); }, column.cells);
    }
}

void HeldRows::appendNullRow() {
    for (Column& column : m_columns) {
        column.states.push_back(CellState::Null);
        std::visit([](auto& cells) { cells.emplace_back(); }, column.cells);
    }
    ++m_size;
}

void HeldRows::append(const QVariantList& values) {
    appendNullRow();
    replace(m_size - 1, values);
}

void HeldRows::replace(int row, const QVariantList& values) {
    for (int column = 0; column < int(m_columns.size()); ++column)
        setValue(row, column, values.at(column));
}

void HeldRows::removeAt(int row) {
    for (Column& column : m_columns) {
        column.states.erase(column.states.begin() + row);
        std::visit([row](auto& cells) { cells.erase(cells.begin() + row); }, column.cells);
        if (!column.kept.empty()) {
            column.kept.erase(row);
            std::map<int, QVariant> renumbered;
            for (auto& [at, value] : column.kept)
                renumbered.emplace(at > row ? at - 1 : at, std::move(value));
            column.kept = std::move(renumbered);
        }
    }
    --m_size;
}

HeldRows HeldRows::picked(const std::vector<int>& rows) const {
    HeldRows result(*m_table);
    result.reserve(int(rows.size()));
    for (const int row : rows)
        result.copyRow(*this, row);
    return result;
}

void HeldRows::copyRow(const HeldRows& from, int row) {
    appendNullRow();
    const std::size_t source = std::size_t(row);
    const std::size_t target = std::size_t(m_size - 1);
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        const Column& original = from.m_columns[c];
        Column& copy = m_columns[c];
        copy.states[target] = original.states[source];
        std::visit(
            [&](auto& cells) {
                using Array = std::remove_reference_t<decltype(cells)>;
                cells[target] = std::get<Array>(original.cells)[source];
            },
            copy.cells);
        if (original.states[source] == CellState::Kept)
            copy.kept.emplace(int(target), original.kept.at(row));
    }
}

void HeldRows::setValue(int row, int column, const QVariant& value) {
    Column& target = m_columns[column];
    const std::size_t at = std::size_t(row);
    target.kept.erase(row);
    if (!value.isValid() || value.typeId() != heldTypeId(target.kind)) {
        target.states[at] = value.isValid() ? CellState::Kept : CellState::Null;
        if (value.isValid())
            target.kept.emplace(row, value);
        std::visit([at](auto& cells) { cells[at] = {}; }, target.cells);
        return;
    }
    target.states[at] = CellState::Held;
    switch (target.kind) {
    case ColumnKind::Boolean:
        array<qint64>(column)[at] = held<bool>(value) ? 1 : 0;
        break;
    case ColumnKind::Decimal:
        array<qint64>(column)[at] = held<Decimal4>(value).units();
        break;
    case ColumnKind::Date:
        array<qint64>(column)[at] = held<QDate>(value).toJulianDay(); // an invalid day keeps its own number
        break;
    case ColumnKind::DateTime:
        array<QDateTime>(column)[at] = held<QDateTime>(value);
        break;
    case ColumnKind::Text:
    case ColumnKind::Memo:
        array<QString>(column)[at] = held<QString>(value);
        break;
    default:
        array<qint64>(column)[at] = held<qint64>(value);
        break;
    }
}

void HeldRows::setText(int row, int column, QString text) {
    Column& target = m_columns[column];
    target.kept.erase(row);
    target.states[std::size_t(row)] = CellState::Held;
    array<QString>(column)[std::size_t(row)] = std::move(text);
}

void HeldRows::setWhole(int row, int column, qint64 number) {
    Column& target = m_columns[column];
    target.kept.erase(row);
    target.states[std::size_t(row)] = CellState::Held;
    array<qint64>(column)[std::size_t(row)] = target.kind == ColumnKind::Boolean ? qint64(number != 0) : number;
}

QVariant HeldRows::value(int row, int column) const {
    const Column& source = m_columns[column];
    const std::size_t at = std::size_t(row);
    switch (source.states[at]) {
    case CellState::Null:
        return {};
    case CellState::Kept:
        return source.kept.at(row);
    case CellState::Held:
        break;
    }
    switch (source.kind) {
    case ColumnKind::Boolean:
        return array<qint64>(column)[at] != 0;
    case ColumnKind::Decimal:
        return QVariant::fromValue(Decimal4::fromUnits(array<qint64>(column)[at]));
    case ColumnKind::Date:
        return QDate::fromJulianDay(array<qint64>(column)[at]);
    case ColumnKind::DateTime:
        return array<QDateTime>(column)[at];
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return array<QString>(column)[at];
    default:
        return QVariant::fromValue<qint64>(array<qint64>(column)[at]);
    }
}

QVariantList HeldRows::row(int row) const {
    QVariantList values;
    values.reserve(qsizetype(m_columns.size()));
    for (int column = 0; column < int(m_columns.size()); ++column)
        values << value(row, column);
    return values;
}

} // namespace tarvex
