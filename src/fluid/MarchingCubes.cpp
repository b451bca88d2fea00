#include "fluid/MarchingCubes.h"

#include "fluid/KernelDispatch.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>

namespace velmorra {

namespace {

float blended(float from, float to, double mu) {
    return static_cast<float>(from + mu * (to - from));
}

std::array<std::array<std::int8_t, 16>, 256> numberCrossings() {
    std::array<std::array<std::int8_t, 16>, 256> crossings{};
    for (std::size_t cubeCase = 0; cubeCase < crossings.size(); ++cubeCase) {
        const std::uint32_t cutEdges = edgeTable[cubeCase];
        for (std::size_t t = 0; t < crossings[cubeCase].size(); ++t) {
            const int edge = triangleTable[cubeCase][t];
            if (edge < 0) {
                crossings[cubeCase][t] = -1;
                continue;
            }
            const std::uint32_t edgesBefore = (std::uint32_t{1} << edge) - 1;
            crossings[cubeCase][t] =
                static_cast<std::int8_t>(std::popcount(cutEdges & edgesBefore));
        }
    }
    return crossings;
}

} // namespace

const std::array<std::array<std::int8_t, 16>, 256> MarchingCubes::triangleCrossings =
    numberCrossings();

int MarchingCubes::caseIndex(const GridCell& cell, double isoLevel) {
    int cubeCase = 0;
    for (int v = 0; v < 8; ++v) {
        cubeCase |= static_cast<int>(cell.corners[v]->value < isoLevel) << v;
    }
    return cubeCase;
}

void MarchingCubes::interpolateEdge(const GridPoint& a, const GridPoint& b, double isoLevel,
                                    Vector3& vertex, Vector3& normal) {
    if (std::fabs(isoLevel - a.value) < snapDistance) {
        vertex = a.position;
        normal = a.normal;
        return;
    }
    if (std::fabs(isoLevel - b.value) < snapDistance) {
        vertex = b.position;
        normal = b.normal;
        return;
    }
    if (std::fabs(a.value - b.value) < snapDistance) {
        vertex = a.position;
        normal = a.normal;
        return;
    }
    const double mu = (isoLevel - a.value) / (b.value - a.value);
    // The six components blend as one row, which the compiler can take two at a time.
    const float from[6] = {a.position.x, a.position.y, a.position.z,
                           a.normal.x,   a.normal.y,   a.normal.z};
    const float to[6] = {b.position.x, b.position.y, b.position.z,
                         b.normal.x,   b.normal.y,   b.normal.z};
    float blend[6];
    for (int c = 0; c < 6; ++c) {
        blend[c] = blended(from[c], to[c], mu);
    }
    vertex.set(blend[0], blend[1], blend[2]);
    normal.set(blend[3], blend[4], blend[5]);
}

int MarchingCubes::cutCells(std::span<const GridCell* const> cells, double isoLevel,
                            std::span<CutCell> cut, std::span<EdgeCrossing> crossings) {
    static const FieldKernel fastest = fastestFieldKernel();
    return cutSurfaceCells(fastest, cells, isoLevel, cut, crossings);
}

} // namespace velmorra
