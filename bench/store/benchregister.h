#pragma once

#include <QString>

namespace tarvex::bench {

// An app folder holding a register of `airlines` airlines and `conditions` conditions,
// stored in shuffled order so that neither table is in code or owner order on disk.
// Made once per process and size. With `withDays`, every condition has a first and a last
// day in force, a span around today that the whole register is in force on.
QString benchAppDir(int airlines, int conditions, bool withDays = false);

} // namespace tarvex::bench
