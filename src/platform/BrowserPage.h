#pragma once

namespace velmorra {

// What a browser run reports to the page around the canvas, and the page's animation frames.
class BrowserPage {
  public:
    struct Status {
        double time = 0.0;
        long frame = 0;
        int phase = 0;
        const char* phaseName = "";
        double fps = 0.0;
        // The main thread's time for the frame just drawn; 0 when none was.
        double frameWorkMs = 0.0;
        // The run stopped on its first frame from the starting moment and keeps it shown.
        bool held = false;
        bool ended = false;
    };

    // Calls `frame` on every animation frame until it returns false.
    static void onEveryAnimationFrame(bool (*frame)(void* user), void* user);
    static void report(const Status& status);
    // The music from `seconds` into the track, with the demo's clock.
    static void startMusic(double seconds);
    // The run has ended with `exitCode` (the schedule's end or Escape): the page shows its form.
    static void runEnded(int exitCode);
    // New lines of the log, for the browser's console.
    static void logLines(const char* text);
};

} // namespace velmorra
