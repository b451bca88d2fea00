#pragma once

#include "fluid/GridPoint.h"

#include <array>

namespace velmorra {

// One cube of the grid. Corners 0-3 form the face with the smaller y, 4-7 lie one step above
// them: 0 (i, j, k), 1 (i+1, j, k), 2 (i+1, j, k+1), 3 (i, j, k+1), and 4-7 the same with j+1.
struct GridCell {
    std::array<const GridPoint*, 8> corners;
};

} // namespace velmorra
