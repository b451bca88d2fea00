#pragma once

#include <array>
#include <cstdint>

namespace velmorra {

// The per-vertex texture coordinates of a mesh.
struct TexCoord {
    float u = 0.0f;
    float v = 0.0f;
};

// Corner indices a, b, c of one triangle of a mesh.
using Face = std::array<std::uint16_t, 3>;

} // namespace velmorra
