#pragma once

#include "draw/VertexBatch.h"

#include <functional>
#include <variant>
#include <vector>

namespace velmorra::draw {

// Vertices compiled into a list: a buffer to draw, and the primitives kept to draw a
// polygon's edges from when polygons are drawn as lines.
struct RecordedGeometry {
    unsigned int buffer = 0;
    VertexBatch batch;
    // Whether the list gave its vertices colours; otherwise they take the colour current when
    // the list is called.
    bool ownColor = false;
};

// A display list as the ES 2 backend keeps it: geometry and state changes in the order given.
struct RecordedList {
    std::vector<std::variant<RecordedGeometry, std::function<void()>>> commands;
};

} // namespace velmorra::draw
