#pragma once

namespace velmorra {

// How long each step of start-up takes, from Start pressed in the settings dialog to the first
// frames on screen, printed to standard error when the environment variable
// VELMORRA_STARTUP_TIMINGS is set to 1. The log never sees these lines. Without the variable
// every call returns at once.
class StartupTimings {
  public:
    // Start pressed: the clock starts here.
    static void begin();
    // A step has just ended: prints the time since Start and the step's own length.
    [[gnu::format(printf, 1, 2)]] static void step(const char* format, ...);
    // The last step: prints it and stops the clock.
    static void end(const char* what);
    static bool isTiming();
};

} // namespace velmorra
