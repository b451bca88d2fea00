#include "platform/ClockSource.h"

#include <SDL2/SDL.h>

namespace velmorra {

namespace {

std::int64_t systemFrequency() {
    return static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
}
std::int64_t systemCounter() {
    return static_cast<std::int64_t>(SDL_GetPerformanceCounter());
}
std::uint32_t systemMilliseconds() {
    return SDL_GetTicks();
}

} // namespace

const ClockSource& ClockSource::system() {
    static const ClockSource source{systemFrequency, systemCounter, systemMilliseconds};
    return source;
}

namespace {

ClockSource& processClock() {
    static ClockSource source = ClockSource::system();
    return source;
}

} // namespace

const ClockSource& ClockSource::process() {
    return processClock();
}

void ClockSource::installForProcess(const ClockSource& source) {
    processClock() = source;
}

} // namespace velmorra
