#pragma once

#include <QAbstractTableModel>

namespace tarvex {

class TableCursor;

// Presents a table cursor to item views: one row per row that passes the cursor's
// filter, in its sort order, one column per column of the table but the hidden key.
// It follows every change of the cursor, its pending edits included.
class CursorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CursorModel(TableCursor& cursor, QObject* parent = nullptr);

    TableCursor& cursor() const { return m_cursor; }
    // The table column shown in a model column.
    int tableColumn(int modelColumn) const { return modelColumn + 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TableCursor& m_cursor;
};

} // namespace tarvex
