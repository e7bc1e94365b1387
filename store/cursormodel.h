#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace tarvex {

class TableCursor;

// Presents a table cursor to item views: one row per row that passes the cursor's
// filter, in its sort order, and one column per column of the table but the hidden key,
// or only the columns named, in the order named. It follows every change of the cursor,
// its pending edits included.
class CursorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CursorModel(TableCursor& cursor, QObject* parent = nullptr);
    // A view shows every column the model has, and assistive technology reads them all:
    // a view that shows some columns takes a model of those alone.
    CursorModel(TableCursor& cursor, const QStringList& columnNames, QObject* parent = nullptr);

    TableCursor& cursor() const { return m_cursor; }
    // The table column shown in a model column.
    int tableColumn(int modelColumn) const { return m_columns[modelColumn]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TableCursor& m_cursor;
    QList<int> m_columns; // the table column of each model column
};

} // namespace tarvex
