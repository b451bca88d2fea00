#include "platform/DeviceContext.h"

#include <SDL2/SDL.h>

namespace velmorra {

void swapBuffers(DeviceContext deviceContext) {
    if (deviceContext != nullptr) {
        SDL_GL_SwapWindow(deviceContext);
    }
}

void* getGlProcAddress(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

} // namespace velmorra
