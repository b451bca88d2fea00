#pragma once

#include "fluid/GridCell.h"
#include "fluid/MarchingCubesTables.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmorra {

// Where the surface crosses one edge of a cell, laid out as a grid point's position and normal.
struct EdgeCrossing {
    Vector3 vertex;
    Vector3 normal;
};

// A cell has at most one crossing per edge.
inline constexpr std::size_t maxCrossingsPerCell = 12;

// A cut cell's case and where its crossings start: one crossing per edge the case cuts, in edge
// order, packed one after another with no room for the edges it leaves alone.
struct CutCell {
    int cubeCase = 0;
    int firstCrossing = 0;
};

// Turns grid cells into triangles of the surface where the density crosses the iso level. Each
// triangle corner goes to the caller's sink as sink(normal, vertex), in table order.
class MarchingCubes {
  public:
    template <typename Sink>
    int polygonizeCell(const GridCell& cell, double isoLevel, Sink&& sink) {
        const GridCell* const cells[1] = {&cell};
        CutCell cut;
        cutCells(cells, isoLevel, {&cut, 1}, scratch);
        return emitTriangles(cut, scratch.data(), sink);
    }

    // The two halves of polygonizeCell, for callers that cut many cells before emitting any.
    // Cuts each cell into the cut cell of the same place, its crossings into crossings, which
    // must have room for maxCrossingsPerCell a cell; returns how many crossings there were. The
    // fastest kernel the processor runs does the cutting, with the same bits as the
    // one-edge-at-a-time interpolateEdge.
    static int cutCells(std::span<const GridCell* const> cells, double isoLevel,
                        std::span<CutCell> cut, std::span<EdgeCrossing> crossings);
    template <typename Sink>
    static int emitTriangles(const CutCell& cell, const EdgeCrossing* crossings, Sink&& sink) {
        int triangles = 0;
        const auto& row = triangleCrossings[cell.cubeCase];
        const EdgeCrossing* cellCrossings = crossings + cell.firstCrossing;
        for (int t = 0; row[t] >= 0; t += 3) {
            for (int corner = 0; corner < 3; ++corner) {
                const EdgeCrossing& crossing = cellCrossings[row[t + corner]];
                sink(crossing.normal, crossing.vertex);
            }
            ++triangles;
        }
        return triangles;
    }

    // Bit v is set when corner v lies below the iso level.
    static int caseIndex(const GridCell& cell, double isoLevel);

    // Closer to the level than this, a corner takes the crossing; closer to each other, an
    // edge's corners are too flat to divide by.
    static constexpr double snapDistance = 0.00001;

    // Places the vertex where the density crosses the iso level between a and b, and blends
    // the normal the same way; a level at (or flat next to) a corner snaps to that corner.
    static void interpolateEdge(const GridPoint& a, const GridPoint& b, double isoLevel,
                                Vector3& vertex, Vector3& normal);

  private:
    // The triangle table with each edge replaced by its place among the case's cut edges, which
    // is where its crossing lies.
    static const std::array<std::array<std::int8_t, 16>, 256> triangleCrossings;

    std::array<EdgeCrossing, maxCrossingsPerCell> scratch;
};

} // namespace velmorra
