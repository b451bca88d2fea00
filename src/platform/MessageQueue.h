#pragma once

#include "platform/Message.h"

#include <deque>

namespace velmorra {

// The messages the program posts to its own frame loop, such as the quit message that Escape, a
// close request, the end of the schedule or the end of a capture sends. Each surface has one;
// the frame loop takes them before the window system's events.
class MessageQueue {
  public:
    // Queues the quit message; the frame loop returns `exitCode` when it takes it.
    void postQuit(int exitCode);
    // Removes the oldest posted message; false when none is waiting.
    bool take(Message& message);

  private:
    std::deque<Message> posted;
};

} // namespace velmorra
