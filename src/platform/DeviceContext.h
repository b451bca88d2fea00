#pragma once

struct SDL_Window;

namespace velmorra {

// The drawable of the display: the program's window.
using DeviceContext = SDL_Window*;

} // namespace velmorra
