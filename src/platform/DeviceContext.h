#pragma once

struct SDL_Window;

namespace velmorra {

// The drawable the renderer draws into and swaps: the program's window.
using DeviceContext = SDL_Window*;

void swapBuffers(DeviceContext deviceContext);

// Address of an OpenGL entry point by name, or null when the driver lacks it.
void* getGlProcAddress(const char* name);

} // namespace velmorra
