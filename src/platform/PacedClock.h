#pragma once

#include "platform/ClockSource.h"
#include "platform/FrameClock.h"

#include <cstdint>

namespace velmorra {

// A run that starts at a moment of the schedule computes the frames before it as a capture does,
// exactly one frame period each (paced); from then on its clock follows the real one, from where
// the paced frames left it, and stands still while paused. Ticks are a frame clock's.
class PacedClock final : public ClockSource {
  public:
    explicit PacedClock(const ClockSource& real = ClockSource::system()) : real(&real) {}

    std::int64_t counterFrequency() const override {
        return FrameClock::ticksPerFrame * FrameClock::framesPerSecond;
    }
    std::int64_t counterValue() const override;
    std::uint32_t milliseconds() const override;

    // Back to its start: paced, at zero, running.
    void restart();
    // One frame period on, while paced; nothing once the clock follows the real one.
    void frameShown();
    // From now on the clock moves with the real one.
    void followRealTime();
    bool isPaced() const { return paced; }
    void pause();
    void resume();
    bool isPaused() const { return paused; }
    // Seconds since the clock started, paced and real together.
    double seconds() const;

  private:
    std::int64_t realTicks() const;

    const ClockSource* real;
    std::int64_t pacedFrames = 0;
    bool paced = true;
    bool paused = false;
    // The real clock's reading when following started or last resumed, and the ticks gathered
    // before it.
    std::int64_t realStart = 0;
    std::int64_t ticksBefore = 0;
};

} // namespace velmorra
