#pragma once

#include "platform/GraphicsSurface.h"
#include "platform/PacedClock.h"

#include <deque>
#include <string>

namespace velmorra {

// The page's canvas with a WebGL 1 context, drawn by the gles2 backend. The browser shows what
// was drawn when an animation frame returns, so presenting only moves the paced clock; the keys
// pressed on the page are its events.
class BrowserSurface final : public GraphicsSurface {
  public:
    BrowserSurface() = default;
    ~BrowserSurface() override;
    BrowserSurface(const BrowserSurface&) = delete;
    BrowserSurface& operator=(const BrowserSurface&) = delete;

    // Sizes the canvas to `width` x `height` pixels and starts drawing on it; false with the
    // reason in `error` when the browser has no WebGL or the backend cannot draw on it.
    bool open(int width, int height, std::string& error);
    void close();

    void* getProcAddress(const char* name) const override;
    void present() override;
    // The page's animation frames pace a browser run; there is nothing to wait for.
    void waitForNextFrame(const Timer& frameTimer, float periodMs) const override;
    const ClockSource& clock() const override { return pacedClock; }
    PacedClock& pacing() { return pacedClock; }
    const PacedClock& pacing() const { return pacedClock; }

    // A key pressed or released on the page, by its DOM code ("Escape", "ArrowUp", "F1").
    void keyEvent(const char* code, bool down);

  protected:
    bool pollEvent(Message& message) override;

  private:
    PacedClock pacedClock;
    std::deque<Message> keys;
    int context = 0;
};

} // namespace velmorra
