#pragma once

#include "math/Vector3.h"

#include <array>

namespace velmorra {

// Where an Object stands in the world, copied from its frame on every World
// render. Each of the Object's elements reads its placement from here.
struct ObjectTransform {
    Vector3 worldPosition;
    // Column-major: columns 0 to 2 carry the object's axes, column 3 its origin.
    std::array<float, 16> matrix{};
};

} // namespace velmorra
