#pragma once

#include "platform/Message.h"

namespace velmorra {

// Removes the next waiting event, translated; false when none is waiting.
bool peekMessage(Message& message);

// Hands a message to the window procedure with the program's keyboard.
void dispatchMessage(const Message& message);

// Queues the quit message; the frame loop returns `exitCode` when it takes it.
void postQuitMessage(int exitCode);

} // namespace velmorra
