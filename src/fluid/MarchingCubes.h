#pragma once

#include "fluid/GridCell.h"
#include "fluid/MarchingCubesTables.h"

#include <array>

namespace velmorra {

// Turns grid cells into triangles of the surface where the density crosses the iso level. Each
// triangle corner goes to the caller's sink as sink(normal, vertex), in table order.
class MarchingCubes {
  public:
    template <typename Sink>
    int polygonizeCell(const GridCell& cell, double isoLevel, Sink&& sink) {
        const int cubeCase = cutEdges(cell, isoLevel);
        int triangles = 0;
        const auto& row = triangleTable[cubeCase];
        for (int t = 0; row[t] >= 0; t += 3) {
            for (int corner = 0; corner < 3; ++corner) {
                const int edge = row[t + corner];
                sink(edgeNormals[edge], edgeVertices[edge]);
            }
            ++triangles;
        }
        return triangles;
    }

    // Bit v is set when corner v lies below the iso level.
    static int caseIndex(const GridCell& cell, double isoLevel);

    // Places the vertex where the density crosses the iso level between a and b, and blends
    // the normal the same way; a level at (or flat next to) a corner snaps to that corner.
    static void interpolateEdge(const GridPoint& a, const GridPoint& b, double isoLevel,
                                Vector3& vertex, Vector3& normal);

  private:
    // Interpolates every edge the case cuts into the scratch slots; the other slots keep older
    // contents, which the case's triangle row never names.
    int cutEdges(const GridCell& cell, double isoLevel);

    std::array<Vector3, 12> edgeVertices{};
    std::array<Vector3, 12> edgeNormals{};
};

} // namespace velmorra
