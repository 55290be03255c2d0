#include "core/files/huge_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vane {

void adviseHugePages(const void* data, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    // Below a few huge pages the saving is small and the rounding up of memory is not.
    constexpr std::size_t kSmallest = 4 * kHugePage;
    if (data == nullptr || bytes < kSmallest) {
        return;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
    if (last > first) {
        // The stretches lie wholly inside the buffer, so no other allocation's memory is touched.
        (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace vane
