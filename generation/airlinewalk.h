#pragma once

#include "airlinesink.h"

namespace tarvex {

class RunObserver;
class RegisterStore;
class TableCursor;

// The airline at tbMain's current row. Throws StoreError for a stored flag its field cannot hold.
AirlineRecord currentAirline(const TableCursor& table);

// Visits `count` airlines of tbMain from its first row, in the table's current order,
// fetching each one's conditions with the per-airline query when the sink wants them,
// and reports the share done after every airline. The walk moves tbMain's current row.
void walkAirlines(RegisterStore& data, int count, AirlineSink& sink, RunObserver& observer);

} // namespace tarvex
