// The test program's operator new and delete, so that a test can hold the
// program's allocations to a largest block. Without a limit they are malloc
// and free, as the library's own.
#include "support/AllocationLimit.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::atomic<std::size_t> largestBlock{std::numeric_limits<std::size_t>::max()};

}  // namespace

void* operator new(std::size_t size) {
    if (size <= largestBlock.load()) {
        if (void* block = std::malloc(size ? size : 1)) return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace pictavo::testing {

LargeAllocationsFail::LargeAllocationsFail(std::size_t limit) { largestBlock = limit; }
LargeAllocationsFail::~LargeAllocationsFail() {
    largestBlock = std::numeric_limits<std::size_t>::max();
}

}  // namespace pictavo::testing
