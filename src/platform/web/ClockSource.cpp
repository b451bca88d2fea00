#include "platform/ClockSource.h"

#include <emscripten.h>

namespace velmorra {

namespace {

// The page's high-resolution time, in microseconds (browsers coarsen it, to 5 us or more).
class PageClock final : public ClockSource {
  public:
    std::int64_t counterFrequency() const override { return 1'000'000; }
    std::int64_t counterValue() const override {
        return static_cast<std::int64_t>(emscripten_get_now() * 1000.0);
    }
    std::uint32_t milliseconds() const override {
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(emscripten_get_now()));
    }
};

} // namespace

const ClockSource& ClockSource::system() {
    static const PageClock clock;
    return clock;
}

} // namespace velmorra
