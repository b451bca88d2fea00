#pragma once

#include <cstddef>

namespace velmorra::test {

// Counts what this test program asks of the global operator new (replaced in
// AllocationCounter.cpp), so that a test can show what a call costs in memory.
class AllocationCounter {
  public:
    // Starts counting afresh.
    AllocationCounter();

    // Bytes asked for since construction, in all and in the largest single request.
    std::size_t total() const;
    std::size_t largest() const;

  private:
    std::size_t totalAtStart;
};

} // namespace velmorra::test
