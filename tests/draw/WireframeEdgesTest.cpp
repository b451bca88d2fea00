#include "draw/WireframeEdges.h"

#include <gtest/gtest.h>

namespace velmorra {
namespace {

using draw::BatchVertex;
using draw::Face;
using draw::Feature;
using draw::FixedFunctionState;
using draw::Primitive;
using draw::VertexBatch;
using draw::WireframeEdges;

constexpr draw::Matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Two triangles on screen: the first counter-clockwise (front-facing), the second clockwise.
VertexBatch frontAndBackTriangles() {
    const std::array<std::array<float, 2>, 6> corners = {
        {{0, 0}, {1, 0}, {0, 1}, {0, 0}, {0, 1}, {1, 0}}};
    VertexBatch batch;
    batch.begin(Primitive::triangles);
    for (const auto& corner : corners) {
        BatchVertex v;
        v.position = {corner[0], corner[1], 0.0f};
        batch.add(v);
    }
    batch.end();
    return batch;
}

TEST(WireframeEdges, CullsPolygonsAsTheFixedPipelineBeforeDrawingTheirEdges) {
    struct Case {
        bool culling;
        Face culled;
        std::size_t lineVertices;
        float firstCornerY; // tells the front triangle (second corner at y 0) from the back one
    };
    const Case cases[] = {
        {false, Face::back, 12, 0.0f},
        {true, Face::back, 6, 0.0f},
        {true, Face::front, 6, 1.0f},
        {true, Face::frontAndBack, 0, 0.0f},
    };
    for (const Case& c : cases) {
        FixedFunctionState state;
        state.set(Feature::cullFace, c.culling);
        state.culledFace = c.culled;
        std::vector<BatchVertex> lines;
        WireframeEdges(state, identity).collect(frontAndBackTriangles(), true, {}, lines);
        ASSERT_EQ(lines.size(), c.lineVertices) << static_cast<int>(c.culled);
        if (!lines.empty()) {
            EXPECT_EQ(lines[1].position[1], c.firstCornerY) << static_cast<int>(c.culled);
        }
    }
}

TEST(WireframeEdges, EdgesWithoutTheirOwnColourTakeTheCurrentOne) {
    std::vector<BatchVertex> lines(3); // what the last draw left is replaced
    WireframeEdges(FixedFunctionState(), identity)
        .collect(frontAndBackTriangles(), false, {0.25f, 0.5f, 0.75f, 1.0f}, lines);
    ASSERT_EQ(lines.size(), 12u);
    for (const BatchVertex& v : lines) {
        EXPECT_EQ(v.color, (draw::Rgba{0.25f, 0.5f, 0.75f, 1.0f}));
        EXPECT_EQ(v.flatColor, v.color);
    }
}

} // namespace
} // namespace velmorra
