#pragma once

#include "platform/Keyboard.h"
#include "platform/Message.h"
#include "platform/MessageQueue.h"

namespace velmorra {

// The slot a key message records into, or -1 when the key is not recorded.
int keySlot(const Message& message);

// Ends the run on Escape or a close request, by posting the quit message to `queue`; records
// every other key.
void windowProcedure(const Message& message, Keyboard& keyboard, MessageQueue& queue);

} // namespace velmorra
