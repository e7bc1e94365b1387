#pragma once

#include "enginerefusal.h"
#include "heldrows.h"
#include "heldvalue.h"
#include "rowsortfilter.h"
#include "schema.h"

#include <QObject>
#include <QSqlDatabase>
#include <QVariant>

#include <vector>

namespace tarvex {

class TableWriter;

// An updatable cursor over every row of one table. All rows are read when it is
// opened and held here (tablereader.h); sort and filter work on that copy
// (rowsortfilter.h). Changes go to the store one row at a time through the current row:
// insert or edit, then post or cancel (tablewriter.h).
//
// Row numbers in the interface count the rows that pass the filter, in sort order.
class TableCursor : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    explicit TableCursor(const TableDef& table, QObject* parent = nullptr);

    const TableDef& table() const { return m_table; }

    // Reads every row of the table. A number its field cannot hold is kept as stored, so
    // the row can be shown and corrected; see fromStorage(). Throws StoreError.
    // `fileFormat` is the register's format: columns of later formats read as NULL.
    void open(const QSqlDatabase& database, int fileFormat = kRegisterFormat);
    // Lets go of the rows and of the connection.
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    int recordCount() const { return int(m_visible.size()); }
    // The stored rows held, whatever the filter; a row being inserted counts once it is posted.
    int storedRowCount() const;
    bool isEmpty() const { return m_visible.empty(); }
    int currentRow() const { return m_current; }
    bool eof() const { return m_eof; }

    void first();
    void next();
    void setCurrentRow(int row);

    // The current row's value (its pending value while it is edited or inserted);
    // an invalid QVariant for NULL or when there is no current row.
    QVariant value(int column) const;
    QVariant value(QStringView columnName) const;
    QString text(QStringView columnName) const;
    QVariant valueAt(int row, int column) const;

    // Sets a pending value of the current row; the row must be in edit or insert state.
    void setValue(QStringView columnName, const QVariant& value);

    void insert();
    void edit();
    // Stores the pending change. A value that does not fit its column, or a failure
    // of the store, throws StoreError and leaves the change pending. A change to fields
    // another copy of the program changed meanwhile throws RowChangedElsewhere instead:
    // the change is dropped and the row holds what is stored.
    void post();
    void cancel();
    // The id the store gave the row this cursor inserted last; 0 before any.
    qint64 lastInsertedId() const { return m_lastInsertedId; }
    // Deletes the current row from the store and from the cursor.
    void remove();
    // Re-reads from the store the rows already held, keeping the current row;
    // rows deleted meanwhile are dropped.
    void refresh();
    // Drops held rows whose integer column equals the value, after the store deleted them.
    void forgetRows(QStringView columnName, qint64 value);

    // "AirCode ASC", "[AirCode] ASC" or "AirCode DESC"; ties keep ascending id. Empty: store order.
    void setSort(QStringView sortText);
    void setFilter(const RowFilter& filter);
    void setFiltered(bool on);
    bool isFiltered() const { return m_sortFilter.isFiltered(); }

signals:
    void aboutToReset();
    void reset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged(tarvex::TableCursor::State state);

private:
    int columnOrThrow(QStringView columnName) const;
    // `operation` is what the user asked for, as "Нельзя …" goes on: "изменить запись".
    void requireBrowse(QStringView operation) const;
    void requireCurrent(QStringView operation) const;
    void setState(State state);
    void setCurrent(int row);
    // The index in m_rows of the current row; -1 when there is none.
    int currentIndex() const { return m_current >= 0 ? m_visible[m_current] : -1; }
    // Recomputes the visible rows; the row at `keepIndex` of m_rows stays current when visible.
    void rebuildVisible(int keepIndex);
    TableWriter writer(RegisterTask task) const;

    const TableDef& m_table;
    QSqlDatabase m_database;
    int m_fileFormat = kRegisterFormat;
    // The held rows in store order; while a row is inserted, it is the last one.
    HeldRows m_rows;
    std::vector<int> m_visible; // indexes into m_rows, filtered and sorted
    RowSortFilter m_sortFilter;
    int m_current = -1;
    bool m_eof = true;
    State m_state = State::Inactive;
    QVariantList m_buffer; // pending values of the current row in edit or insert state
    qint64 m_lastInsertedId = 0;
};

} // namespace tarvex
