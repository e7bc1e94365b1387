#pragma once

#include "schema.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <cstdint>
#include <map>
#include <variant>
#include <vector>

namespace tarvex {

// The rows of one table as a cursor holds them, column by column, each column in the
// typed array its kind needs: whole numbers, yes/no, decimals and days as 64-bit numbers,
// texts as QString, dates with a time as QDateTime. A row costs one byte per column for
// whether the cell is NULL, and no allocation beyond its texts.
//
// The values given and handed back are in the form fromStorage() gives (heldvalue.h). A
// value the column cannot hold, kept as stored so the row can be shown and corrected, is
// set aside whole, by row; such values are rare.
class HeldRows {
public:
    explicit HeldRows(const TableDef& table);

    const TableDef& table() const { return *m_table; }
    int size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    void reserve(int rows);

    // Appends a row of NULLs, to be filled by setValue() or the typed setters.
    void appendNullRow();
    void append(const QVariantList& values);
    void replace(int row, const QVariantList& values);
    void removeAt(int row);
    // The rows at the indexes, in that order.
    HeldRows picked(const std::vector<int>& rows) const;

    void setValue(int row, int column, const QVariant& value);
    // Held values of the column's kind, set without a QVariant: a text of a Text or Memo column,
    // a whole number of a key or number column.
    void setText(int row, int column, QString text);
    void setWhole(int row, int column, qint64 number);

    QVariant value(int row, int column) const;
    QVariantList row(int row) const;
    qint64 id(int row) const { return number(row, 0); }

    // Typed reads, for sorting and searching. A cell is NULL, held in its column's form, or
    // kept as stored; the typed reads serve held cells.
    bool isNull(int row, int column) const { return cellState(row, column) == CellState::Null; }
    bool isHeld(int row, int column) const { return cellState(row, column) == CellState::Held; }
    // The text of a Text or Memo column; the null QString for NULL.
    const QString& text(int row, int column) const { return array<QString>(column)[std::size_t(row)]; }
    // A whole number, a yes/no as 0 or 1, a decimal's units, a day's Julian day number.
    qint64 number(int row, int column) const { return array<qint64>(column)[std::size_t(row)]; }
    const QDateTime& moment(int row, int column) const { return array<QDateTime>(column)[std::size_t(row)]; }
    // What a cell of a key or number column reads as, a value kept as stored too (QVariant::toLongLong()); 0 for NULL.
    qint64 wholeNumber(int row, int column) const {
        return isHeld(row, column) ? number(row, column) : value(row, column).toLongLong();
    }

private:
    enum class CellState : std::uint8_t { Null, Held, Kept };
    // The array of one column, of the type its kind is held in. A NULL cell, and one whose value
    // is kept as stored, holds the type's default.
    using Cells = std::variant<std::vector<qint64>, std::vector<QString>, std::vector<QDateTime>>;
    struct Column {
        ColumnKind kind;
        std::vector<CellState> states;
        Cells cells;
        std::map<int, QVariant> kept; // by row
    };

    static Cells emptyCells(ColumnKind kind);
    CellState cellState(int row, int column) const { return m_columns[column].states[std::size_t(row)]; }
    template <typename T>
    const std::vector<T>& array(int column) const {
        return *std::get_if<std::vector<T>>(&m_columns[column].cells);
    }
    template <typename T>
    std::vector<T>& array(int column) {
        return *std::get_if<std::vector<T>>(&m_columns[column].cells);
    }
    void copyRow(const HeldRows& from, int row);

    const TableDef* m_table;
    std::vector<Column> m_columns;
    int m_size = 0;
};

} // namespace tarvex
