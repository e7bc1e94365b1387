#pragma once

namespace tarvex {

class TableCursor;

// Stores a copy of the condition cursor's current row, every column but the key, so the
// copy belongs to the same airline; the copy becomes the current row. Throws StoreError.
void duplicateCurrentCondition(TableCursor& conditions);

} // namespace tarvex
