#pragma once

#include "fluid/GridCell.h"
#include "fluid/MarchingCubesTables.h"

#include <array>

namespace velmorra {

// Where the surface crosses a cell's edges, by edge number, with the cell's case. Only the edges
// the case cuts are filled; the others may hold anything, since the case's triangles never name
// them.
struct CellCrossings {
    int cubeCase = 0;
    std::array<Vector3, 12> vertices;
    std::array<Vector3, 12> normals;
};

// Turns grid cells into triangles of the surface where the density crosses the iso level. Each
// triangle corner goes to the caller's sink as sink(normal, vertex), in table order.
class MarchingCubes {
  public:
    template <typename Sink>
    int polygonizeCell(const GridCell& cell, double isoLevel, Sink&& sink) {
        cutEdges(cell, isoLevel, scratch);
        return emitTriangles(scratch, sink);
    }

    // The two halves of polygonizeCell, for callers that cut many cells before emitting any.
    static void cutEdges(const GridCell& cell, double isoLevel, CellCrossings& crossings);
    template <typename Sink> static int emitTriangles(const CellCrossings& crossings, Sink&& sink) {
        int triangles = 0;
        const auto& row = triangleTable[crossings.cubeCase];
        for (int t = 0; row[t] >= 0; t += 3) {
            for (int corner = 0; corner < 3; ++corner) {
                const int edge = row[t + corner];
                sink(crossings.normals[edge], crossings.vertices[edge]);
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
    CellCrossings scratch;
};

} // namespace velmorra
