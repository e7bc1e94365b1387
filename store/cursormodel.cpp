#include "cursormodel.h"

#include "tablecursor.h"

namespace tarvex {

namespace {

QStringList allButTheKey(const TableDef& table) {
    QStringList names;
    for (qsizetype column = 1; column < table.columns.size(); ++column)
        names << table.columns[column].name;
    return names;
}

} // namespace

CursorModel::CursorModel(TableCursor& cursor, QObject* parent)
    : CursorModel(cursor, allButTheKey(cursor.table()), parent) {}

CursorModel::CursorModel(TableCursor& cursor, const QStringList& columnNames, QObject* parent)
    : QAbstractTableModel(parent)
    , m_cursor(cursor) {
    for (const QString& name : columnNames) {
        const int column = cursor.table().columnIndex(name);
        Q_ASSERT_X(column >= 0, "CursorModel", "no such column");
        m_columns << column;
    }
    connect(&cursor, &TableCursor::aboutToReset, this, [this] { beginResetModel(); });
    connect(&cursor, &TableCursor::reset, this, [this] { endResetModel(); });
    connect(&cursor, &TableCursor::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(&cursor, &TableCursor::rowInserted, this, [this] { endInsertRows(); });
    connect(&cursor, &TableCursor::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(&cursor, &TableCursor::rowRemoved, this, [this] { endRemoveRows(); });
    connect(&cursor, &TableCursor::rowChanged, this, [this](int row) {
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

int CursorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cursor.recordCount();
}

int CursorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant CursorModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int column = tableColumn(index.column());
    const QVariant value = m_cursor.valueAt(index.row(), column);
    switch (role) {
    case Qt::DisplayRole:
        return displayText(m_cursor.table().column(column), value);
    case Qt::EditRole:
        return value;
    default:
        return {};
    }
}

QVariant CursorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const ColumnDef& column = m_cursor.table().column(tableColumn(section));
    return column.label.isEmpty() ? column.name : column.label;
}

} // namespace tarvex
