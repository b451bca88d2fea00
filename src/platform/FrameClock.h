#pragma once

#include "platform/ClockSource.h"

#include <atomic>
#include <cstdint>

namespace velmorra {

// A clock that moves only when told: exactly one frame period (1/30 s) per frame
// drawn. A capture reads its timers from it, so the schedule comes out as in a
// perfectly paced run, however long each frame really takes.
class FrameClock final : public ClockSource {
  public:
    static constexpr std::int64_t ticksPerFrame = 1'000'000;
    static constexpr std::int64_t framesPerSecond = 30;

    std::int64_t counterFrequency() const override;
    std::int64_t counterValue() const override;
    std::uint32_t milliseconds() const override;

    void advanceFrame() { ++frameCount; }
    std::int64_t frames() const { return frameCount.load(); }

  private:
    std::atomic<std::int64_t> frameCount{0};
};

} // namespace velmorra
