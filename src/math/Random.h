#pragma once

#include <cstdint>

namespace velmorra {

// The demo's own linear congruential generator, so that a seed gives the same draws on every
// platform (the C library's rand differs between systems). Draws lie in 0 ... maxValue.
class Random {
  public:
    static constexpr int maxValue = 32767;

    // An unseeded generator behaves as if seeded with 1, like the C library's.
    explicit constexpr Random(std::uint32_t seed = 1) : state(seed) {}

    constexpr void seed(std::uint32_t value) { state = value; }

    constexpr int next() {
        state = state * 22695477u + 1u;
        return static_cast<int>((state >> 16) & 0x7fffu);
    }

  private:
    std::uint32_t state;
};

} // namespace velmorra
