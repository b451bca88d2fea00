#pragma once

#include "platform/Message.h"

namespace velmorra {

// Removes the window system's next waiting event, translated; false when none is waiting.
bool pollWindowEvent(Message& message);

} // namespace velmorra
