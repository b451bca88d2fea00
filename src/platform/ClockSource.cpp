#include "platform/ClockSource.h"

#include <SDL2/SDL.h>

namespace velmorra {

namespace {

class SystemClock final : public ClockSource {
  public:
    std::int64_t counterFrequency() const override {
        return static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    }
    std::int64_t counterValue() const override {
        return static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    }
    std::uint32_t milliseconds() const override { return SDL_GetTicks(); }
};

} // namespace

const ClockSource& ClockSource::system() {
    static const SystemClock clock;
    return clock;
}

} // namespace velmorra
