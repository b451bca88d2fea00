#include "video/EncodingState.h"

namespace velmorra {

EncodingState::Measure::~Measure() {
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.addTime(stage, spent.count());
}

void EncodingState::addTime(Stage stage, double spent) {
    std::lock_guard lock(mutex);
    seconds[static_cast<int>(stage)] += spent;
}

double EncodingState::time(Stage stage) const {
    std::lock_guard lock(mutex);
    return seconds[static_cast<int>(stage)];
}

void EncodingState::fail(const std::string& reason) {
    std::lock_guard lock(mutex);
    if (!hasFailed) {
        hasFailed = true;
        firstFailure = reason;
    }
}

bool EncodingState::failed() const {
    std::lock_guard lock(mutex);
    return hasFailed;
}

std::string EncodingState::failure() const {
    std::lock_guard lock(mutex);
    return firstFailure;
}

void EncodingState::countFrame() {
    std::lock_guard lock(mutex);
    ++frameCount;
}

long EncodingState::frames() const {
    std::lock_guard lock(mutex);
    return frameCount;
}

} // namespace velmorra
