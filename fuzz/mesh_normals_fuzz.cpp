// Checks the linear-time welded normals against their quadratic definition, bit for bit, on
// arbitrary small meshes: coordinates from a palette that holds signed zeros, infinities, NaN,
// denormals and huge values, and faces with repeated corners and indices past the end.

#include "scene/WeldedNormals.h"
#include "scene/WeldedNormalsReference.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

constexpr float palette[16] = {0.0f,
                               -0.0f,
                               1.0f,
                               -1.0f,
                               0.5f,
                               2.0f,
                               3.0f,
                               -7.25f,
                               1e30f,
                               -1e30f,
                               std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(),
                               1e-20f,
                               100.0f};

bool sameBits(const velmorra::Vector3& a, const velmorra::Vector3& b) {
    return std::bit_cast<std::uint32_t>(a.x) == std::bit_cast<std::uint32_t>(b.x) &&
           std::bit_cast<std::uint32_t>(a.y) == std::bit_cast<std::uint32_t>(b.y) &&
           std::bit_cast<std::uint32_t>(a.z) == std::bit_cast<std::uint32_t>(b.z);
}

} // namespace

// Byte 0: the vertex count (up to 64); then two bytes per vertex (three four-bit palette
// indices, the last nibble unused); then three bytes per face.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t vertexCount = data[0] % 65;
    std::size_t at = 1;
    std::vector<velmorra::Vector3> vertices;
    for (std::size_t i = 0; i < vertexCount && at + 1 < size; ++i, at += 2) {
        vertices.push_back(
            {palette[data[at] & 15], palette[data[at] >> 4], palette[data[at + 1] & 15]});
    }
    std::vector<velmorra::Face> faces;
    for (; at + 2 < size && faces.size() < 256; at += 3) {
        faces.push_back({data[at], data[at + 1], data[at + 2]});
    }
    const auto fast = velmorra::weldedNormals(vertices, faces);
    const auto plain = velmorra::weldedNormalsByDefinition(vertices, faces);
    if (fast.size() != plain.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < fast.size(); ++i) {
        if (!sameBits(fast[i], plain[i])) {
            std::abort();
        }
    }
    return 0;
}
