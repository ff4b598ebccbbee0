// Counts heap allocations while a test asks for it, to show that processing
// never allocates.
#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
}  // namespace

void* operator new(std::size_t size) {
    if (void* p = countedAllocation(size)) return p;
    throw std::bad_alloc();
}

// The form the plug-in's own allocations use, so that every delete frees
// what this file's operators allocated.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

AllocationCounter::AllocationCounter() {
    allocations = 0;
    counting = true;
}

AllocationCounter::~AllocationCounter() { counting = false; }

long AllocationCounter::count() const { return allocations.load(); }
