#include "heldrows.h"

#include "decimal4.h"

#include <QDate>

namespace tarvex {

namespace {

enum class Storage { Numbers, Texts, Moments };

Storage storageOf(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return Storage::Texts;
    case ColumnKind::DateTime:
        return Storage::Moments;
    default:
        return Storage::Numbers;
    }
}

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

HeldRows::HeldRows(const TableDef& table)
    : m_table(&table) {
    m_columns.reserve(std::size_t(table.columns.size()));
    for (const ColumnDef& column : table.columns)
        m_columns.push_back(Column{column.kind, {}, {}, {}, {}, {}});
}

void HeldRows::reserve(int rows) {
    for (Column& column : m_columns) {
        column.states.reserve(std::size_t(rows));
        switch (storageOf(column.kind)) {
        case Storage::Numbers:
            column.numbers.reserve(std::size_t(rows));
            break;
        case Storage::Texts:
            column.texts.reserve(std::size_t(rows));
            break;
        case Storage::Moments:
            column.moments.reserve(std::size_t(rows));
            break;
        }
    }
}

void HeldRows::appendNullRow() {
    for (Column& column : m_columns) {
        column.states.push_back(CellState::Null);
        switch (storageOf(column.kind)) {
        case Storage::Numbers:
            column.numbers.push_back(0);
            break;
        case Storage::Texts:
            column.texts.emplace_back();
            break;
        case Storage::Moments:
            column.moments.emplace_back();
            break;
        }
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
        switch (storageOf(column.kind)) {
        case Storage::Numbers:
            column.numbers.erase(column.numbers.begin() + row);
            break;
        case Storage::Texts:
            column.texts.erase(column.texts.begin() + row);
            break;
        case Storage::Moments:
            column.moments.erase(column.moments.begin() + row);
            break;
        }
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
        switch (storageOf(copy.kind)) {
        case Storage::Numbers:
            copy.numbers[target] = original.numbers[source];
            break;
        case Storage::Texts:
            copy.texts[target] = original.texts[source];
            break;
        case Storage::Moments:
            copy.moments[target] = original.moments[source];
            break;
        }
        if (original.states[source] == CellState::Kept)
            copy.kept.emplace(int(target), original.kept.at(row));
    }
}

void HeldRows::setValue(int row, int column, const QVariant& value) {
    Column& cells = m_columns[column];
    const std::size_t at = std::size_t(row);
    cells.kept.erase(row);
    if (!value.isValid() || value.typeId() != heldTypeId(cells.kind)) {
        cells.states[at] = value.isValid() ? CellState::Kept : CellState::Null;
        if (value.isValid())
            cells.kept.emplace(row, value);
        switch (storageOf(cells.kind)) {
        case Storage::Numbers:
            cells.numbers[at] = 0;
            break;
        case Storage::Texts:
            cells.texts[at] = QString();
            break;
        case Storage::Moments:
            cells.moments[at] = QDateTime();
            break;
        }
        return;
    }
    cells.states[at] = CellState::Held;
    switch (cells.kind) {
    case ColumnKind::Boolean:
        cells.numbers[at] = held<bool>(value) ? 1 : 0;
        break;
    case ColumnKind::Decimal:
        cells.numbers[at] = held<Decimal4>(value).units();
        break;
    case ColumnKind::Date:
        cells.numbers[at] = held<QDate>(value).toJulianDay(); // an invalid day keeps its own number
        break;
    case ColumnKind::DateTime:
        cells.moments[at] = held<QDateTime>(value);
        break;
    case ColumnKind::Text:
    case ColumnKind::Memo:
        cells.texts[at] = held<QString>(value);
        break;
    default:
        cells.numbers[at] = held<qint64>(value);
        break;
    }
}

void HeldRows::setText(int row, int column, QString text) {
    Column& cells = m_columns[column];
    cells.kept.erase(row);
    cells.states[std::size_t(row)] = CellState::Held;
    cells.texts[std::size_t(row)] = std::move(text);
}

void HeldRows::setWhole(int row, int column, qint64 number) {
    Column& cells = m_columns[column];
    cells.kept.erase(row);
    cells.states[std::size_t(row)] = CellState::Held;
    cells.numbers[std::size_t(row)] = cells.kind == ColumnKind::Boolean ? qint64(number != 0) : number;
}

QVariant HeldRows::value(int row, int column) const {
    const Column& cells = m_columns[column];
    const std::size_t at = std::size_t(row);
    switch (cells.states[at]) {
    case CellState::Null:
        return {};
    case CellState::Kept:
        return cells.kept.at(row);
    case CellState::Held:
        break;
    }
    switch (cells.kind) {
    case ColumnKind::Boolean:
        return cells.numbers[at] != 0;
    case ColumnKind::Decimal:
        return QVariant::fromValue(Decimal4::fromUnits(cells.numbers[at]));
    case ColumnKind::Date:
        return QDate::fromJulianDay(cells.numbers[at]);
    case ColumnKind::DateTime:
        return cells.moments[at];
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return cells.texts[at];
    default:
        return QVariant::fromValue<qint64>(cells.numbers[at]);
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
