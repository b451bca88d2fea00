#include "video/FrameQueue.h"

namespace velmorra {

bool FrameQueue::push(Frame&& frame) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return closed || frames.size() < capacity; });
    if (closed) {
        return false;
    }
    frames.push_back(std::move(frame));
    changed.notify_all();
    return true;
}

std::optional<FrameQueue::Frame> FrameQueue::pop() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return closed || !frames.empty(); });
    if (frames.empty()) {
        return std::nullopt;
    }
    Frame frame = std::move(frames.front());
    frames.pop_front();
    changed.notify_all();
    return frame;
}

void FrameQueue::close() {
    std::lock_guard lock(mutex);
    closed = true;
    changed.notify_all();
}

} // namespace velmorra
