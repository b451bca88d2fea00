#pragma once

#include "ThreeDsWriter.h"

#include <cstdint>
#include <vector>

namespace velmorra::tools {

// The fountain over which the second liquid set-up lets its stream fall: a
// square marble basin whose floor is the liquid's floor (y = -1.1, with room
// beyond x, z = +-1.5), on two round sandstone steps, ringed by broken columns
// and boulders. Everything stays within 4 units of the axis and below the
// line from the circling camera (distance 5, eye height 0) to the basin floor.
class AltarModel {
  public:
    static constexpr double basinFloor = -1.1;
    static constexpr double basinInner = 1.62; // half-size of the inside at the floor
    static constexpr double basinRim = -0.86;  // top of the rim

    static std::vector<ThreeDsWriter::Material> materials();
    static std::vector<ThreeDsWriter::Mesh> meshes();
    static std::vector<std::uint8_t> file();
};

} // namespace velmorra::tools
