#pragma once

#include "platform/ClockSource.h"
#include "platform/Message.h"
#include "platform/MessageQueue.h"
#include "platform/Timer.h"

namespace velmorra {

// What the renderer draws into: a window on the screen or an offscreen capture.
// The layers above the platform draw through this alone, so they never know which
// of the two runs.
class GraphicsSurface {
  public:
    virtual ~GraphicsSurface() = default;

    // Address of an OpenGL entry point by name, or null when the driver lacks it.
    virtual void* getProcAddress(const char* name) const = 0;
    // The frame is drawn: show it (a window swaps its buffers; a capture reads it back).
    virtual void present() = 0;
    // Returns when the next frame may start, `periodMs` after the frame timer's mark.
    virtual void waitForNextFrame(const Timer& frameTimer, float periodMs) const = 0;
    // The clock the run's timers read: the real one for a window, the frame clock for a capture.
    virtual const ClockSource& clock() const = 0;

    // The next message for the frame loop: first those the program posted, then the window
    // system's events. False when none is waiting.
    bool nextMessage(Message& message) { return posted.take(message) || pollEvent(message); }
    MessageQueue& messages() { return posted; }

  protected:
    GraphicsSurface() = default;
    GraphicsSurface(const GraphicsSurface&) = default;
    GraphicsSurface& operator=(const GraphicsSurface&) = default;

    // The window system's next event; a surface without one has none.
    virtual bool pollEvent(Message& /*message*/) { return false; }

  private:
    MessageQueue posted;
};

} // namespace velmorra
