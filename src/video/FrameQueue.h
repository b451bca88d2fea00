#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace velmorra {

// A bounded hand-over of frames from the render loop to the encoding thread. The bound keeps
// memory flat when encoding is slower than rendering: the producer then waits.
class FrameQueue {
  public:
    using Frame = std::vector<std::uint8_t>;

    explicit FrameQueue(std::size_t capacity) : capacity(capacity) {}

    // Waits while the queue is full; false once the queue is closed.
    bool push(Frame&& frame);
    // Waits for a frame; empty once the queue is closed and drained.
    std::optional<Frame> pop();
    // Wakes both sides; frames already queued are still handed out.
    void close();

  private:
    const std::size_t capacity;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Frame> frames;
    bool closed = false;
};

} // namespace velmorra
