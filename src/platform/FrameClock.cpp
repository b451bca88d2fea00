#include "platform/FrameClock.h"

namespace velmorra {

namespace {

// Whole ticks per frame, so that no rounding accumulates over a long capture.
constexpr std::int64_t ticksPerSecond = FrameClock::ticksPerFrame * FrameClock::framesPerSecond;

} // namespace

std::int64_t FrameClock::counterFrequency() const {
    return ticksPerSecond;
}

std::int64_t FrameClock::counterValue() const {
    return frames() * ticksPerFrame;
}

std::uint32_t FrameClock::milliseconds() const {
    return static_cast<std::uint32_t>(frames() * 1000 / framesPerSecond);
}

} // namespace velmorra
