#pragma once

#include <cstdint>

namespace velmorra::tools {

// A small, fully specified generator (SplitMix64), so that every picture,
// model and note made from a seed is the same on every machine and compiler.
class SeededRandom {
  public:
    explicit SeededRandom(std::uint64_t seed) : state(seed) {}

    std::uint64_t next();
    // Uniform in [0, 1).
    double unit();
    // Uniform in [low, high).
    double between(double low, double high) { return low + (high - low) * unit(); }
    // Uniform in [0, count).
    int below(int count);

  private:
    std::uint64_t state;
};

} // namespace velmorra::tools
