#pragma once

#include "airlinerecord.h"

namespace tarvex {

class TableCursor;

// The airline a row of the tbMain cursor holds (its pending values while it is edited),
// as the writers and the script check see it. Reading it leaves the cursor's current row
// where it was. Throws StoreError for a stored flag its field cannot hold.
AirlineRecord airlineAt(const TableCursor& airlines, int row);

// The airline at the cursor's current row.
AirlineRecord currentAirline(const TableCursor& airlines);

} // namespace tarvex
