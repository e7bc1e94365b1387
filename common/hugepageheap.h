#pragma once

namespace tarvex {

// Lets the heap grow in huge pages (2 MiB) where the system offers them on request.
// A run over a large register allocates tens of megabytes in small pieces, and each
// 4 KiB page the heap grows by costs a page fault: about a tenth of a generation's
// time. The heap is reserved in one large step (address space only: a page becomes
// memory when it is first written) and that range is marked for huge pages. Large
// blocks come from the heap too, so they share it instead of being mapped and
// unmapped one by one. Call it first in main(), before any thread starts. Where the
// system has no huge pages this changes nothing but the reservation.
void growHeapInHugePages();

} // namespace tarvex
