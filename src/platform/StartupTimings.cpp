#include "platform/StartupTimings.h"

#include "platform/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmorra {

namespace {

constexpr std::size_t stepTextSize = 160;

double milliseconds(std::chrono::steady_clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

void printStep(const char* what, double total, double own) {
    std::fprintf(stderr, "startup: %8.1f %8.1f  %s\n", total, own, what);
}

} // namespace

bool StartupTimings::requested() {
    const char* value = std::getenv("VELMORRA_STARTUP_TIMINGS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

void StartupTimings::begin() {
    if (!enabled) {
        return;
    }
    running = true;
    start = Clock::now();
    previous = start;
    std::fprintf(stderr, "startup: %8s %8s  %s\n", "total ms", "step ms", "step");
}

void StartupTimings::step(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    stepWith(format, arguments);
    va_end(arguments);
}

void StartupTimings::stepWith(const char* format, va_list arguments) {
    if (!running) {
        return;
    }
    const Clock::time_point now = Clock::now();
    char what[stepTextSize];
    std::vsnprintf(what, sizeof what, format, arguments);
    printStep(what, milliseconds(now - start), milliseconds(now - previous));
    // Printing is not counted in the next step.
    previous = Clock::now();
}

void StartupTimings::end(const char* what) {
    step("%s", what);
    running = false;
}

void startupBegin() {
    if (StartupTimings* timings = attachedStartupTimings()) {
        timings->begin();
    }
}

void startupStep(const char* format, ...) {
    if (StartupTimings* timings = attachedStartupTimings()) {
        va_list arguments;
        va_start(arguments, format);
        timings->stepWith(format, arguments);
        va_end(arguments);
    }
}

void startupEnd(const char* what) {
    if (StartupTimings* timings = attachedStartupTimings()) {
        timings->end(what);
    }
}

bool startupTiming() {
    const StartupTimings* timings = attachedStartupTimings();
    return timings != nullptr && timings->isTiming();
}

} // namespace velmorra
