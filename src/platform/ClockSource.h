#pragma once

#include <cstdint>

namespace velmorra {

// Where a Timer reads its time. The default reads SDL's high-resolution counter
// and millisecond clock; tests hand in a source of their own.
struct ClockSource {
    // Ticks per second of the high-resolution counter; 0 when there is none.
    std::int64_t (*counterFrequency)();
    std::int64_t (*counterValue)();
    // The millisecond clock used when there is no high-resolution counter.
    std::uint32_t (*milliseconds)();

    static const ClockSource& system();

    // The clock every Timer of the process reads unless it is given one: the
    // system's, until a capture installs its frame clock before any timer starts.
    static const ClockSource& process();
    static void installForProcess(const ClockSource& source);
};

} // namespace velmorra
