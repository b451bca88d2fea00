#include "platform/EventSystem.h"

#include <SDL2/SDL.h>

namespace velmorra {

EventSystem::EventSystem() : started(SDL_InitSubSystem(SDL_INIT_EVENTS) == 0) {}

EventSystem::~EventSystem() {
    if (started) {
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
    }
}

} // namespace velmorra
