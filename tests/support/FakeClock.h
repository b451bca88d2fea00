#pragma once

#include "platform/ClockSource.h"

#include <cstdint>

namespace velmorra::test {

// A clock that tests move by hand, for timers that must run in simulated time.
struct FakeClock {
    static inline std::int64_t frequency = 1'000'000'000;
    static inline std::int64_t counter = 0;
    static inline std::uint32_t milliseconds = 0;

    static std::int64_t readFrequency() { return frequency; }
    static std::int64_t readCounter() { return counter; }
    static std::uint32_t readMilliseconds() { return milliseconds; }
    static const ClockSource& source() {
        static const ClockSource clock{readFrequency, readCounter, readMilliseconds};
        return clock;
    }
    static void advanceSeconds(double seconds) {
        counter += static_cast<std::int64_t>(seconds * static_cast<double>(frequency));
    }
};

} // namespace velmorra::test
