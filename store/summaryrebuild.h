#pragma once

#include <QtGlobal>

namespace tarvex {

class RegisterStore;

// Recomputes the airline's two summary texts (Commision and Fee) from its conditions as
// the register holds them now, and stores them with the airline row.
//
// When the airline cursor's current row is this airline (or a new airline being inserted,
// whose id is 0 until stored), the row is stored as a whole: every pending change of the
// airline's own fields goes to the register with the texts. Otherwise only the two texts
// are written, by id, so no other airline's row is ever touched.
//
// Returns the airline's id (the id the store gave a new airline). Throws StoreError and
// leaves a pending change pending when the register refuses the row.
qint64 rebuildCommissionSummary(RegisterStore& store, qint64 airlineId);

} // namespace tarvex
