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

void MarchingCubes::cutEdges(const GridCell& cell, double isoLevel, CellCrossings& crossings) {
    crossings.cubeCase = caseIndex(cell, isoLevel);
    for (std::uint32_t cut = edgeTable[crossings.cubeCase]; cut != 0; cut &= cut - 1) {
        const int e = std::countr_zero(cut);
        interpolateEdge(*cell.corners[edgeCorners[e][0]], *cell.corners[edgeCorners[e][1]],
                        isoLevel, crossings.vertices[e], crossings.normals[e]);
    }
}

} // namespace velmorra
