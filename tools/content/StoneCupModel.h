#pragma once

#include "ThreeDsWriter.h"

#include <cstdint>
#include <vector>

namespace velmorra::tools {

// The carved stone cup the third liquid set-up pours into. The demo lowers it
// by 3, so its inner floor (model y = 0.8) is the liquid's floor (y = -2.2)
// and its inner wall, at least basinInner from the axis at every height,
// holds the liquid's square |x|, |z| <= 1.1 with room for the surface to
// bulge. A lathed bowl on a stem and foot, with sixteen carved lobes round
// its belly and a rolled lip between y 3.0 and 3.5; nowhere wider than 2.5.
class StoneCupModel {
  public:
    static constexpr double innerFloor = 0.8;
    static constexpr double innerWall = 1.62; // the inside's smallest radius above the floor

    static std::vector<ThreeDsWriter::Material> materials();
    static std::vector<ThreeDsWriter::Mesh> meshes();
    static std::vector<std::uint8_t> file();
};

} // namespace velmorra::tools
