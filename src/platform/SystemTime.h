#pragma once

#include <cstdint>

namespace velmorra {

// Low 32 bits of the system clock in 100-nanosecond units.
std::uint32_t systemTimeLow32();

// Seconds on the monotonic clock, for measuring how long work takes.
double steadySeconds();

} // namespace velmorra
