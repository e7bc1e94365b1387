#pragma once

#include <QStringList>

namespace tarvex::bench {

// The peak resident set size of this process so far, in kilobytes (VmHWM).
long ownPeakResidentKilobytes();

// Runs this program again, fresh, with the arguments; the child prints its own peak with
// printOwnPeak(). Returns that peak in kilobytes, or -1 when the child failed.
long childPeakResidentKilobytes(const QStringList& arguments);

void printOwnPeak();

} // namespace tarvex::bench
