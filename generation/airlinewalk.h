#pragma once

#include "airlinesink.h"

namespace tarvex {

class RunObserver;
class RegisterStore;

// Visits every airline of the register in code order, each with its conditions when the
// sink wants them, all read from one state of the register (see AirlineStream), and
// reports the share done whenever it grows by a percent. The window's cursors are not
// used: the rows the windows show, and their current row, stay as they are.
void walkAirlines(RegisterStore& store, AirlineSink& sink, RunObserver& observer);

} // namespace tarvex
