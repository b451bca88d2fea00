#include "draw/WireframeEdges.h"

#include "draw/MatrixStacks.h"

namespace velmorra::draw {

WireframeEdges::WireframeEdges(const FixedFunctionState& state, const Matrix& clip)
    : culling(state.isEnabled(Feature::cullFace)), culled(state.culledFace), clipFromObject(clip) {}

void WireframeEdges::collect(const VertexBatch& triangles, bool ownColor, const Rgba& color,
                             std::vector<BatchVertex>& lines) const {
    lines.clear();
    triangles.edges([this](const BatchVertex* corners) { return keeps(corners); }, lines);
    if (!ownColor) {
        for (BatchVertex& v : lines) {
            v.color = v.flatColor = color;
        }
    }
}

bool WireframeEdges::keeps(const BatchVertex* corners) const {
    if (!culling) {
        return true;
    }
    const bool front = MatrixStacks::facesFront(clipFromObject, corners[0].position,
                                                corners[1].position, corners[2].position);
    return culled == Face::back ? front : culled == Face::front && !front;
}

} // namespace velmorra::draw
