#include "hugepageheap.h"

#include <cstdint>
#include <cstdlib>

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace tarvex {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// Address space the heap takes at once, advised for huge pages (a register of 40,000 airlines
// needs about half); beyond it, the heap grows as usual.
constexpr int kReservation = 128 << 20;
// glibc's own step of growth, taken again once the reservation is made: on a system that
// counts address space against its memory, a large step at every growth could fail.
constexpr int kUsualGrowthStep = 128 << 10;
// Blocks up to this size come from the heap rather than a mapping of their own.
constexpr int kLargestHeapBlock = 64 << 20;

} // namespace

void growHeapInHugePages() {
    // Freed memory is kept for the next block rather than given back and faulted in again.
    if (mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock) == 0 || mallopt(M_TRIM_THRESHOLD, 2 * kReservation) == 0 ||
        mallopt(M_TOP_PAD, kReservation) == 0)
        return;
    // A block larger than the heap's free top makes it grow by the block and the pad.
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* volatile block = std::malloc(kHugePage); // volatile: the compiler may drop an unused block
    std::free(block);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    mallopt(M_TOP_PAD, kUsualGrowthStep);
    const std::uintptr_t first = (before + kHugePage - 1) & ~(kHugePage - 1);
    if (after > first)
        madvise(reinterpret_cast<void*>(first), after - first, MADV_HUGEPAGE); // advice: ignored where not offered
}

} // namespace tarvex
