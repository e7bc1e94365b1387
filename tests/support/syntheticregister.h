#pragma once

#include "records.h"

namespace tarvex::testing {

// A register of the given size shaped like a real one: one to four
// conditions per airline mixing percentages, rouble sums and foreign sums, remarks and
// fees, a two-line comment on every third airline, and the odd quoted name.
Register syntheticRegister(int airlineCount);

} // namespace tarvex::testing
