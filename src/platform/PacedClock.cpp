#include "platform/PacedClock.h"

namespace velmorra {

std::int64_t PacedClock::realTicks() const {
    const std::int64_t frequency = real->counterFrequency();
    if (frequency > 0) {
        const double ticks = static_cast<double>(real->counterValue()) *
                             static_cast<double>(counterFrequency()) /
                             static_cast<double>(frequency);
        return static_cast<std::int64_t>(ticks);
    }
    return static_cast<std::int64_t>(real->milliseconds()) * counterFrequency() / 1000;
}

std::int64_t PacedClock::counterValue() const {
    if (paced) {
        return pacedFrames * FrameClock::ticksPerFrame;
    }
    if (paused) {
        return ticksBefore;
    }
    return ticksBefore + (realTicks() - realStart);
}

std::uint32_t PacedClock::milliseconds() const {
    return static_cast<std::uint32_t>(counterValue() * 1000 / counterFrequency());
}

double PacedClock::seconds() const {
    return static_cast<double>(counterValue()) / static_cast<double>(counterFrequency());
}

void PacedClock::restart() {
    pacedFrames = 0;
    paced = true;
    paused = false;
    realStart = 0;
    ticksBefore = 0;
}

void PacedClock::frameShown() {
    if (paced) {
        ++pacedFrames;
    }
}

void PacedClock::followRealTime() {
    if (!paced) {
        return;
    }
    ticksBefore = counterValue();
    realStart = realTicks();
    paced = false;
}

void PacedClock::pause() {
    if (paused) {
        return;
    }
    if (!paced) {
        ticksBefore = counterValue();
    }
    paused = true;
}

void PacedClock::resume() {
    if (!paused) {
        return;
    }
    realStart = realTicks();
    paused = false;
}

} // namespace velmorra
