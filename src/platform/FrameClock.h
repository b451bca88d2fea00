#pragma once

#include "platform/ClockSource.h"

#include <cstdint>

namespace velmorra {

// A clock that moves only when told: exactly one frame period (1/30 s) per frame
// drawn. A capture reads its timers from it, so the schedule comes out as in a
// perfectly paced run, however long each frame really takes.
class FrameClock {
  public:
    static constexpr std::int64_t ticksPerFrame = 1'000'000;
    static constexpr std::int64_t framesPerSecond = 30;

    static const ClockSource& source();
    static void advanceFrame();
    static std::int64_t frames();
};

} // namespace velmorra
