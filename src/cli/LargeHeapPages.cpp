#include "cli/LargeHeapPages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace lociview::headless {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
void preferLargeHeapPages() {}
#else
// A plate of tens of thousands of peaks is as many rows and records, small
// blocks that fill the heap page by page; on a busy machine the first touch
// of every 4 KB page cost more than reading the numbers. The heap grows in
// one large step here and may be backed by 2 MB pages, which the kernel
// only gives to memory that asks for them.
void preferLargeHeapPages() {
    constexpr size_t kPad = size_t{256} << 20;  // address space only, not memory
    constexpr uintptr_t kHuge = uintptr_t{2} << 20;
    mallopt(M_TOP_PAD, static_cast<int>(kPad));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kPad));
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(4 * kHuge));
    // Larger than what is left of the heap start-up made: the heap grows
    // (by the pad) right here.
    void* first = std::malloc(kHuge);
    const auto from = reinterpret_cast<uintptr_t>(first);
    const auto top = reinterpret_cast<uintptr_t>(sbrk(0));
    const uintptr_t start = (from + kHuge - 1) & ~(kHuge - 1);
    // Only when the block came from the program break, as glibc's heap does.
    if (first && top > start && top - from <= 2 * kPad)
        madvise(reinterpret_cast<void*>(start), top - start, MADV_HUGEPAGE);
    std::free(first);
}
#endif

}  // namespace lociview::headless
