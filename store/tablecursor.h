#pragma once

#include "enginerefusal.h"
#include "schema.h"

#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include <variant>
#include <vector>

class QSqlQuery;

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

// Compares texts by Unicode code point, the order airline codes are sorted in.
int compareCodePoints(QStringView a, QStringView b);

// An updatable cursor over every row of one table. All rows are read when it is
// opened and held here; sort and filter work on that copy. Changes go to the store
// one row at a time through the current row: insert or edit, then post or cancel.
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
    const QVariant& value(int column) const;
    const QVariant& value(QStringView columnName) const;
    QString text(QStringView columnName) const;
    const QVariant& valueAt(int row, int column) const;

    // Sets a pending value of the current row; the row must be in edit or insert state.
    void setValue(QStringView columnName, const QVariant& value);

    void insert();
    void edit();
    // Stores the pending change. A value that does not fit its column, or a failure
    // of the store, throws StoreError and leaves the change pending.
    void post();
    void cancel();
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
    bool isFiltered() const { return m_filtered; }

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
    struct Row {
        QVariantList values;
        bool stored = true;
        // The case-folded display texts of m_searchColumns, made when a search first needs
        // them and dropped when the values change; empty until then.
        QStringList searchTexts;
    };

    int columnOrThrow(QStringView columnName) const;
    // `operation` is what the user asked for, as "Нельзя …" goes on: "изменить запись".
    void requireBrowse(QStringView operation) const;
    void requireCurrent(QStringView operation) const;
    void setState(State state);
    void setCurrent(int row);
    bool passes(const Row& row) const;
    void prepareSearchTexts(const SearchFilter& search);
    bool sortsBefore(const Row& a, const Row& b) const;
    void sortRows();
    // Recomputes the visible rows; the row at `keepIndex` of m_rows stays current when visible.
    void rebuildVisible(int keepIndex);
    std::vector<Row> readAllRows() const;
    void storeInsert();
    void storeUpdate();
    // What a failed read of the table names; the refusal of a statement for the task.
    QString readSubject() const;
    [[noreturn]] void fail(RegisterTask task, const QSqlQuery& query) const;

    const TableDef& m_table;
    QSqlDatabase m_database;
    int m_fileFormat = kRegisterFormat;
    std::vector<Row> m_rows;    // in store order
    std::vector<int> m_visible; // indexes into m_rows, filtered and sorted
    // Indexes of all stored rows in sort order, kept across filter changes so that typing
    // a search costs a filter pass only. Sorted again after the rows or the sort change.
    std::vector<int> m_sorted;
    bool m_sortedValid = false;
    QList<int> m_searchColumns; // the columns Row::searchTexts hold, in the search's order
    int m_current = -1;
    bool m_eof = true;
    State m_state = State::Inactive;
    QVariantList m_buffer; // pending values of the current row in edit or insert state

    int m_sortColumn = -1;
    bool m_sortDescending = false;
    RowFilter m_filter;
    bool m_filtered = false;
};

} // namespace tarvex
