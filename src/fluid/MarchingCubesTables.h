#pragma once

#include <array>
#include <cstdint>

namespace velmorra {

// The two corners of each cube edge, first to second; interpolation runs in this order.
inline constexpr std::array<std::array<int, 2>, 12> edgeCorners{{{0, 1},
                                                                 {1, 2},
                                                                 {2, 3},
                                                                 {3, 0},
                                                                 {4, 5},
                                                                 {5, 6},
                                                                 {6, 7},
                                                                 {7, 4},
                                                                 {0, 4},
                                                                 {1, 5},
                                                                 {2, 6},
                                                                 {3, 7}}};

// Indexed by cube case: bit v of the case is set when corner v lies below the iso level.
// Bit e of an entry is set when edge e has one corner below and one not.
extern const std::array<std::uint32_t, 256> edgeTable;

// The standard published marching-cubes triangle table for this corner and edge numbering. Per
// case, the cut edges in groups of three, one group per triangle, ended by -1. Each triangle runs
// counter-clockwise seen from the below corners, so front faces look out of the liquid.
extern const std::array<std::array<std::int32_t, 16>, 256> triangleTable;

} // namespace velmorra
