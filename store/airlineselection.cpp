#include "airlineselection.h"

#include "tablecursor.h"

namespace tarvex {

namespace {

int rowOf(const TableCursor& airlines, qint64 airlineId) {
    for (int row = 0; row < airlines.recordCount(); ++row) {
        if (heldInteger(airlines.valueAt(row, 0)) == airlineId)
            return row;
    }
    return -1;
}

} // namespace

bool selectAirline(TableCursor& airlines, qint64 airlineId) {
    if (airlines.state() != TableCursor::State::Browse)
        return true;
    if (airlines.currentRow() >= 0 && heldInteger(airlines.value(0)) == airlineId)
        return true;
    int row = rowOf(airlines, airlineId);
    if (row < 0 && airlines.isFiltered()) {
        airlines.setFiltered(false);
        row = rowOf(airlines, airlineId);
    }
    if (row < 0)
        return false;
    airlines.setCurrentRow(row);
    return true;
}

} // namespace tarvex
