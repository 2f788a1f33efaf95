#pragma once
// The program's own allocations (operator new: vectors, strings) held to a
// largest block, as in a 32-bit process whose 2 GB are taken up by what it
// already holds: a larger one throws std::bad_alloc for real, smaller ones
// work. The system's own allocations (the imaging component's) are not held.
#include <cstddef>

namespace pictavo::testing {

class LargeAllocationsFail {
public:
    explicit LargeAllocationsFail(std::size_t largestBlock);
    ~LargeAllocationsFail();
    LargeAllocationsFail(const LargeAllocationsFail&) = delete;
    LargeAllocationsFail& operator=(const LargeAllocationsFail&) = delete;
};

}  // namespace pictavo::testing
