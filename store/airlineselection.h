#pragma once

#include <QtGlobal>

namespace tarvex {

class TableCursor;

// Makes the stored airline with this id the airline cursor's current row, so that what
// an editor types goes into that airline and no other. A search the airline no longer
// matches (after its code or summary changed) is switched off to bring it back.
// A row with a pending change is left as it is: only its own editor puts it there.
// Returns false when the cursor does not hold the airline (deleted meanwhile).
bool selectAirline(TableCursor& airlines, qint64 airlineId);

} // namespace tarvex
