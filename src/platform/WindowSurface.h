#pragma once

#include "platform/DeviceContext.h"
#include "platform/GraphicsSurface.h"

namespace velmorra {

// The display's window as the renderer's surface: buffers swapped on the screen,
// frames paced by the real clock.
class WindowSurface : public GraphicsSurface {
  public:
    explicit WindowSurface(DeviceContext window) : window(window) {}

    void* getProcAddress(const char* name) const override;
    void present() override;
    void waitForNextFrame(const Timer& frameTimer, float periodMs) const override;
    const ClockSource& clock() const override { return ClockSource::system(); }

  protected:
    bool pollEvent(Message& message) override;

  private:
    DeviceContext window;
};

} // namespace velmorra
