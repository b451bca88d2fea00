#include "platform/WindowSurface.h"

#include "platform/WindowEvents.h"

#include <SDL2/SDL.h>

namespace velmorra {

void* WindowSurface::getProcAddress(const char* name) const {
    return SDL_GL_GetProcAddress(name);
}

void WindowSurface::present() {
    if (window != nullptr) {
        SDL_GL_SwapWindow(window);
    }
}

bool WindowSurface::pollEvent(Message& message) {
    return pollWindowEvent(message);
}

void WindowSurface::waitForNextFrame(const Timer& frameTimer, float periodMs) const {
    frameTimer.waitUntilElapsed(periodMs);
}

} // namespace velmorra
