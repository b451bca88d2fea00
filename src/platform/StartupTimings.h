#pragma once

#include <chrono>
#include <cstdarg>

namespace velmorra {

// How long each step of start-up takes, from Start pressed in the settings dialog to the first
// frames on screen, printed to standard error when the environment variable
// VELMORRA_STARTUP_TIMINGS is set to 1. The log never sees these lines. A run owns one and
// attaches it to the log while it starts up, so that the steps below (the display, the textures,
// the models) report to it without knowing whose it is.
class StartupTimings {
  public:
    // Whether VELMORRA_STARTUP_TIMINGS asks for the timings.
    static bool requested();

    explicit StartupTimings(bool enabled = requested()) : enabled(enabled) {}

    // Start pressed: the clock starts here (when enabled).
    void begin();
    // A step has just ended: prints the time since Start and the step's own length.
    [[gnu::format(printf, 2, 3)]] void step(const char* format, ...);
    [[gnu::format(printf, 2, 0)]] void stepWith(const char* format, va_list arguments);
    // The last step: prints it and stops the clock.
    void end(const char* what);
    bool isTiming() const { return running; }

  private:
    using Clock = std::chrono::steady_clock;

    bool enabled;
    bool running = false;
    Clock::time_point start;
    Clock::time_point previous;
};

// The attached run's timings, through the log; each returns at once when none is attached or
// it is not timing.
void startupBegin();
[[gnu::format(printf, 1, 2)]] void startupStep(const char* format, ...);
void startupEnd(const char* what);
bool startupTiming();

} // namespace velmorra
