#pragma once

#include "platform/ClockSource.h"

#include <cstdint>

namespace velmorra::test {

// A clock that tests move by hand, for timers that must run in simulated time.
struct FakeClock {
    static inline std::int64_t frequency = 1'000'000'000;
    static inline std::int64_t counter = 0;
    static inline std::uint32_t milliseconds = 0;

    static const ClockSource& source() {
        struct Reading final : ClockSource {
            std::int64_t counterFrequency() const override { return frequency; }
            std::int64_t counterValue() const override { return counter; }
            std::uint32_t milliseconds() const override { return FakeClock::milliseconds; }
        };
        static const Reading clock;
        return clock;
    }
    static void advanceSeconds(double seconds) {
        counter += static_cast<std::int64_t>(seconds * static_cast<double>(frequency));
    }
};

} // namespace velmorra::test
