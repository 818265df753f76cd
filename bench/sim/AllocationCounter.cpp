#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Kept in a file of its own so the compiler cannot inline these into callers
// and then mistake the malloc/free pairs for mismatched new/delete.
namespace {
std::atomic<long> allocationCount{0};
}

long AllocationCount() {
    return allocationCount.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size != 0 ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
