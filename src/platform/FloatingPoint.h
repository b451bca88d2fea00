#pragma once

namespace velmorra {

// Division by zero and overflow must give infinities and NaNs, never a trap: the liquid's field
// and the camera's paths rely on it.
void disableFloatingPointTraps();

} // namespace velmorra
