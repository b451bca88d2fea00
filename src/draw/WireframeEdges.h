#pragma once

#include "draw/FixedFunctionState.h"
#include "draw/Matrices.h"
#include "draw/VertexBatch.h"

#include <vector>

namespace velmorra::draw {

// Triangles drawn as lines the way the fixed pipeline draws polygons in line mode: culled as
// polygons first (the pipeline culls before it draws their edges), then each kept polygon's own
// edges, without the diagonals that split quads into triangles.
class WireframeEdges {
  public:
    // Culling as `state` sets it, for triangles seen through `clipFromObject`.
    WireframeEdges(const FixedFunctionState& state, const Matrix& clipFromObject);

    // The kept triangles' polygon edges, as pairs of line vertices, into `lines` (replacing
    // what it held); unless `ownColor`, each vertex takes `color`.
    void collect(const VertexBatch& triangles, bool ownColor, const Rgba& color,
                 std::vector<BatchVertex>& lines) const;

  private:
    bool keeps(const BatchVertex* corners) const;

    bool culling;
    Face culled;
    // Computed once for all the triangles of a draw.
    Matrix clipFromObject;
};

} // namespace velmorra::draw
