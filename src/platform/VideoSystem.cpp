#include "platform/VideoSystem.h"

#include <SDL2/SDL.h>

namespace velmorra {

namespace {

constexpr int attempts = 5;
constexpr Uint32 pauseMs = 10;

} // namespace

int startVideoSystem() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    int result = SDL_InitSubSystem(SDL_INIT_VIDEO);
    for (int attempt = 1; attempt < attempts && result != 0; ++attempt) {
        SDL_Delay(pauseMs);
        result = SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    return result;
}

} // namespace velmorra
