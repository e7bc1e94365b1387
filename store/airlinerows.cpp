#include "airlinerows.h"

#include "airlinecolumns.h"

#include "tablecursor.h"

namespace tarvex {

namespace {

// A number of the row, refused when the stored value is not one its field holds.
QVariant numberAt(const TableCursor& airlines, int row, int column, qint64 rowId) {
    QVariant value = airlines.valueAt(row, column);
    requireHeld(airlines.table(), column, rowId, value);
    return value;
}

} // namespace

AirlineRecord airlineAt(const TableCursor& airlines, int row) {
    const AirlineColumns& c = airlineColumns();
    AirlineRecord airline;
    airline.id = heldInteger(airlines.valueAt(row, c.id)); // the store's own key: always a 64-bit integer
    airline.airCode = heldText(airlines.valueAt(row, c.airCode));
    airline.airName = heldText(airlines.valueAt(row, c.airName));
    airline.comment = heldText(airlines.valueAt(row, c.comment));
    airline.accCode = heldText(airlines.valueAt(row, c.accCode));
    airline.bsp = heldBool(numberAt(airlines, row, c.bsp, airline.id));
    airline.script = heldBool(numberAt(airlines, row, c.script, airline.id));
    return airline;
}

AirlineRecord currentAirline(const TableCursor& airlines) {
    return airlineAt(airlines, airlines.currentRow());
}

} // namespace tarvex
