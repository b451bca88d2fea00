#include "platform/StartupTimings.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmorra {

namespace {

using Clock = std::chrono::steady_clock;

struct TimingState {
    bool running = false;
    Clock::time_point start;
    Clock::time_point previous;
};

TimingState& state() {
    static TimingState timing;
    return timing;
}

bool requested() {
    const char* value = std::getenv("VELMORRA_STARTUP_TIMINGS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

double milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

} // namespace

void StartupTimings::begin() {
    if (!requested()) {
        return;
    }
    TimingState& timing = state();
    timing.running = true;
    timing.start = Clock::now();
    timing.previous = timing.start;
    std::fprintf(stderr, "startup: %8s %8s  %s\n", "total ms", "step ms", "step");
}

bool StartupTimings::isTiming() {
    return state().running;
}

void StartupTimings::step(const char* format, ...) {
    TimingState& timing = state();
    if (!timing.running) {
        return;
    }
    const Clock::time_point now = Clock::now();
    char what[160];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(what, sizeof what, format, arguments);
    va_end(arguments);
    std::fprintf(stderr, "startup: %8.1f %8.1f  %s\n", milliseconds(now - timing.start),
                 milliseconds(now - timing.previous), what);
    // Printing is not counted in the next step.
    timing.previous = Clock::now();
}

void StartupTimings::end(const char* what) {
    step("%s", what);
    state().running = false;
}

} // namespace velmorra
