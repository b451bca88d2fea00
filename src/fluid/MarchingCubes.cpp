#include "fluid/MarchingCubes.h"

#include <bit>
#include <cmath>

namespace velmorra {

namespace {

constexpr double snapDistance = 0.00001;

float blended(float from, float to, double mu) {
    return static_cast<float>(from + mu * (to - from));
}

} // namespace

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
    vertex.set(blended(a.position.x, b.position.x, mu), blended(a.position.y, b.position.y, mu),
               blended(a.position.z, b.position.z, mu));
    normal.set(blended(a.normal.x, b.normal.x, mu), blended(a.normal.y, b.normal.y, mu),
               blended(a.normal.z, b.normal.z, mu));
}

void MarchingCubes::cutEdges(const GridCell& cell, double isoLevel, CellCrossings& crossings) {
    crossings.cubeCase = caseIndex(cell, isoLevel);
    for (std::uint32_t cut = edgeTable[crossings.cubeCase]; cut != 0; cut &= cut - 1) {
        const int e = std::countr_zero(cut);
        interpolateEdge(*cell.corners[edgeCorners[e][0]], *cell.corners[edgeCorners[e][1]],
                        isoLevel, crossings.vertices[e], crossings.normals[e]);
    }
}

} // namespace velmorra
