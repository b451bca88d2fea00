#pragma once

#include "draw/Backend.h"

namespace velmorra::draw {

// The backend the current context was started with (gl11 when none was).
Backend& activeBackend();

} // namespace velmorra::draw
