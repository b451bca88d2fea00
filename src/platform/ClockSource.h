#pragma once

#include <cstdint>

namespace velmorra {

// Where a Timer reads its time: the system's clocks for a run in a window, a frame clock for a
// capture, a clock of their own for tests.
class ClockSource {
  public:
    virtual ~ClockSource() = default;

    // Ticks per second of the high-resolution counter; 0 when there is none.
    virtual std::int64_t counterFrequency() const = 0;
    virtual std::int64_t counterValue() const = 0;
    // The millisecond clock used when there is no high-resolution counter.
    virtual std::uint32_t milliseconds() const = 0;

    // SDL's high-resolution counter and millisecond clock.
    static const ClockSource& system();

  protected:
    ClockSource() = default;
    ClockSource(const ClockSource&) = default;
    ClockSource& operator=(const ClockSource&) = default;
};

} // namespace velmorra
