#pragma once

namespace velmorra {

// What one element's cull test found for the current render.
struct CullResult {
    bool culled = false;
    // Larger depth is drawn earlier.
    float depth = 0.0f;
};

} // namespace velmorra
