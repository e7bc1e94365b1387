#pragma once

#include "airlinesink.h"

namespace tarvex {

class RunObserver;
class RegisterStore;

// Visits `count` airlines of tbMain from its first row, in the table's current order,
// fetching each one's conditions with the per-airline query when the sink wants them,
// and reports the share done whenever it grows by a percent. The rows are read where they
// stand: the current row the windows show stays where it is.
void walkAirlines(RegisterStore& store, int count, AirlineSink& sink, RunObserver& observer);

} // namespace tarvex
