#pragma once

#include "platform/FrameClock.h"
#include "platform/GraphicsSurface.h"

#include "draw/BackendKind.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmorra {

// An OpenGL context with no window: Mesa's EGL on its surfaceless platform, a
// desktop-GL compatibility context and a pbuffer of the capture size. No X or
// Wayland display is needed. Frames are paced by the frame clock, which moves one
// frame period per frame presented, and the frame cap never waits. Every step is
// written to the log as the window's display does.
class OffscreenDisplay : public GraphicsSurface {
  public:
    // Takes one frame as glReadPixels gives it (RGBA, bottom row first); false
    // stops the capture.
    using FrameHandler = std::function<bool(std::vector<std::uint8_t>&& rgbaBottomUp)>;

    // Seconds spent in each stage of presenting frames.
    struct Timings {
        double drawing = 0;  // from one frame's end to the next frame's finished picture
        double readback = 0; // glReadPixels
        double handing = 0;  // waiting for the sink to take the frame
        double leadIn = 0;   // all the frames before the first one recorded
    };

    OffscreenDisplay() = default;
    ~OffscreenDisplay() override;
    OffscreenDisplay(const OffscreenDisplay&) = delete;
    OffscreenDisplay& operator=(const OffscreenDisplay&) = delete;

    // False with a one-line reason in `error`; nothing is left open then. The context is
    // desktop OpenGL for gl11, OpenGL ES 2 for gles2.
    bool open(int width, int height, std::string& error,
              draw::BackendKind backend = draw::BackendKind::gl11);
    void close();

    // Frames firstFrame to endFrame - 1 (counted from the first frame presented)
    // go to `handler`; after frame endFrame - 1, or when `stop` says so, the quit
    // message is posted.
    void record(long firstFrame, long endFrame, FrameHandler handler, bool (*stop)());

    void* getProcAddress(const char* name) const override;
    void present() override;
    void waitForNextFrame(const Timer& frameTimer, float periodMs) const override;
    // Moves exactly one frame period per frame presented.
    const ClockSource& clock() const override { return frameClock; }
    // For drawing frames without presenting them (the drawing benchmark).
    FrameClock& getFrameClock() { return frameClock; }

    long framesPresented() const { return frameIndex; }
    bool sinkFailed() const { return sinkRefused; }
    const Timings& timings() const { return spent; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

  private:
    bool openEglDisplay(std::string& error);
    bool createContext(std::string& error);
    bool createBuffer(std::string& error);
    bool activate(std::string& error);
    void readBack();

    draw::BackendKind backend = draw::BackendKind::gl11;
    void* display = nullptr;
    void* config = nullptr;
    void* context = nullptr;
    void* buffer = nullptr;
    int width = 0;
    int height = 0;
    long frameIndex = 0;
    long firstRecorded = 0;
    long endRecorded = 0;
    FrameHandler handler;
    FrameClock frameClock;
    bool (*stopRequested)() = nullptr;
    bool sinkRefused = false;
    Timings spent;
    double recordStart = 0;
    double lastFrameEnd = 0;
};

} // namespace velmorra
