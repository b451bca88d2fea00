#include "platform/FrameClock.h"

#include <atomic>

namespace velmorra {

namespace {

// Whole ticks per frame, so that no rounding accumulates over a long capture.
constexpr std::int64_t ticksPerSecond = FrameClock::ticksPerFrame * FrameClock::framesPerSecond;

std::atomic<std::int64_t>& frameCount() {
    static std::atomic<std::int64_t> count{0};
    return count;
}

std::int64_t frequency() {
    return ticksPerSecond;
}
std::int64_t counter() {
    return frameCount().load() * FrameClock::ticksPerFrame;
}
std::uint32_t milliseconds() {
    return static_cast<std::uint32_t>(frameCount().load() * 1000 / FrameClock::framesPerSecond);
}

} // namespace

const ClockSource& FrameClock::source() {
    static const ClockSource clock{frequency, counter, milliseconds};
    return clock;
}

void FrameClock::advanceFrame() {
    ++frameCount();
}

std::int64_t FrameClock::frames() {
    return frameCount().load();
}

} // namespace velmorra
