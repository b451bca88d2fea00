#pragma once

#include "math/Vector3.h"

namespace velmorra {

// One density sample. The field pass writes value before anything reads it.
struct GridPoint {
    Vector3 position;
    // Points towards lower density; not unit length, and zero on the grid's outer layer.
    Vector3 normal;
    double value;
};

} // namespace velmorra
