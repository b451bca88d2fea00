#pragma once

#include "platform/ClockSource.h"

#include <cstdint>

namespace velmorra {

// Milliseconds since a mark. The mark is kept as the raw clock reading and only
// differences are converted to float, so precision does not decay with uptime.
class Timer {
  public:
    explicit Timer(const ClockSource& source = ClockSource::system()) : clock(&source) {}

    void init();
    void mark();
    bool elapsedBelow(float limitMs) const;
    float elapsed() const;
    // Returns once `limitMs` have passed since the mark: sleeps until shortly
    // before, then polls, so the deadline is met closely without a busy core.
    void waitUntilElapsed(float limitMs) const;

    bool usesPerformanceCounter() const { return usePerformanceCounter; }
    std::int64_t getFrequency() const { return frequency; }

  private:
    std::int64_t readClock() const;

    const ClockSource* clock;
    bool usePerformanceCounter = false;
    float tickSeconds = 0.001f;
    std::int64_t frequency = 1000;
    std::int64_t markTicks = 0;
};

} // namespace velmorra
