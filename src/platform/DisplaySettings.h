#pragma once

#include <cstdint>

namespace velmorra {

struct DisplaySettings {
    std::int32_t width = 800;
    std::int32_t height = 600;
    std::int32_t depth = 16;
    bool fullscreen = true;
    bool vsyncOff = true;
};

} // namespace velmorra
