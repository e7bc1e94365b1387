#pragma once

#include <QString>

namespace tarvex::bench {

// An app folder holding a register of `airlines` airlines and `conditions` conditions,
// stored in shuffled order so that neither table is in code or owner order on disk.
// Made once per process and size.
QString benchAppDir(int airlines, int conditions);

} // namespace tarvex::bench
