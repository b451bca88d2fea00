#include "platform/Timer.h"

#include "platform/Log.h"

#include <chrono>
#include <thread>

namespace velmorra {

namespace {

// How long before the deadline the wait stops sleeping and starts polling;
// larger than the usual oversleep of a Linux timer.
constexpr float pollingMarginMs = 2.0f;

} // namespace

void Timer::init() {
    write("Query performance timer: ");
    const std::int64_t counterFrequency = clock->counterFrequency();
    if (counterFrequency > 0) {
        usePerformanceCounter = true;
        frequency = counterFrequency;
        tickSeconds = static_cast<float>(1.0 / static_cast<double>(frequency));
        write("found, using performance timer.\n");
    } else {
        usePerformanceCounter = false;
        tickSeconds = 0.001f;
        frequency = 1000;
        write("not found, using normal timer.\n");
    }
    mark();
}

std::int64_t Timer::readClock() const {
    if (usePerformanceCounter) {
        return clock->counterValue();
    }
    return static_cast<std::int64_t>(clock->milliseconds());
}

void Timer::mark() {
    markTicks = readClock();
}

float Timer::elapsed() const {
    // The millisecond clock wraps after 49.7 days; an unsigned 32-bit difference
    // stays right across the wrap.
    const std::int64_t ticks = usePerformanceCounter
                                   ? readClock() - markTicks
                                   : static_cast<std::uint32_t>(readClock() - markTicks);
    return static_cast<float>(static_cast<long double>(ticks) * tickSeconds * 1000.0L);
}

bool Timer::elapsedBelow(float limitMs) const {
    return elapsed() < limitMs;
}

void Timer::waitUntilElapsed(float limitMs) const {
    for (float passed = elapsed(); passed < limitMs; passed = elapsed()) {
        const float sleepMs = limitMs - passed - pollingMarginMs;
        if (sleepMs > 0.0f) {
            std::this_thread::sleep_for(std::chrono::duration<float, std::milli>(sleepMs));
        }
    }
}

} // namespace velmorra
