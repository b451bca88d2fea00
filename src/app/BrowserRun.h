#pragma once

#include "app/RunSequence.h"
#include "platform/BrowserSurface.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velmorra {

// What the page's form and its address choose.
struct BrowserSettings {
    int width = 800;
    int height = 600;
    bool fullscreen = false;
    std::optional<std::uint32_t> seed;
    // Where the run starts in the schedule; the frames before are computed as a capture does.
    double fromSeconds = 0.0;
    // Stop on the first frame drawn from `fromSeconds` and keep it on the canvas.
    bool hold = false;
};

// The demo on the page's canvas: the run sequence of the desktop program, one frame per
// animation frame of the browser within the frame cap, the music from the page.
class BrowserRun {
  public:
    BrowserRun() = default;
    BrowserRun(const BrowserRun&) = delete;
    BrowserRun& operator=(const BrowserRun&) = delete;

    // False with the reason in `error` when the canvas cannot be drawn on; the log says it too.
    bool start(const BrowserSettings& chosen, std::string& error);
    // Ends the run at the next animation frame, as Escape does.
    void stop();
    // A hidden page stops the demo's clock (and the page its music) until it is shown again.
    void setHidden(bool hidden);
    bool isRunning() const { return run.has_value(); }

  private:
    static bool animationFrame(void* self);
    bool nextAnimationFrame();
    // Steps the frames before the starting moment, as many as a slice of the page's time allows;
    // false once the run has ended.
    bool leadIn();
    bool liveFrame();
    bool step();
    void holdFrame();
    void followRealTime();
    void finish(int exitCode);
    // The page learns where the run is and how long the last frame took to compute and draw.
    void report(double frameWorkSeconds = 0.0) const;
    void forwardLog();

    BrowserSettings settings;
    BrowserSurface surface;
    std::optional<RunSequence> run;
    std::filesystem::path logPath;
    std::uintmax_t logForwarded = 0;
    long firstFrame = 0;
    long framesDrawn = 0;
    bool stopRequested = false;
    bool hidden = false;
    bool held = false;
};

} // namespace velmorra
