#include "draw/VertexBatch.h"

#include <gtest/gtest.h>

namespace velmorra {
namespace {

using draw::BatchKind;
using draw::BatchVertex;
using draw::Primitive;
using draw::VertexBatch;

BatchVertex at(float x, float y, float shade) {
    BatchVertex v;
    v.position = {x, y, 0.0f};
    v.color = {shade, shade, shade, 1.0f};
    return v;
}

void add(VertexBatch& batch, Primitive primitive, int count) {
    batch.begin(primitive);
    for (int i = 0; i < count; ++i) {
        batch.add(at(static_cast<float>(i % 2), static_cast<float>(i / 2), static_cast<float>(i)));
    }
    batch.end();
}

TEST(VertexBatch, PrimitivesBecomeIndependentOnesWithTheLastVertexForFlatShading) {
    struct Case {
        Primitive primitive;
        int given;
        BatchKind kind;
        std::size_t vertices;
        float flatOfFirst;
    };
    const Case cases[] = {
        {Primitive::quads, 4, BatchKind::triangles, 6, 3.0f},
        {Primitive::triangles, 7, BatchKind::triangles, 6, 2.0f}, // the seventh is incomplete
        {Primitive::lineStrip, 3, BatchKind::lines, 4, 1.0f},
        {Primitive::lines, 4, BatchKind::lines, 4, 1.0f},
        {Primitive::points, 2, BatchKind::points, 2, 0.0f},
    };
    for (const Case& c : cases) {
        VertexBatch batch;
        add(batch, c.primitive, c.given);
        EXPECT_EQ(batch.kind(), c.kind);
        ASSERT_EQ(batch.vertices().size(), c.vertices) << static_cast<int>(c.primitive);
        EXPECT_EQ(batch.vertices()[0].flatColor[0], c.flatOfFirst) << static_cast<int>(c.primitive);
    }
}

TEST(VertexBatch, AQuadAsLinesHasItsFourEdgesAndNoDiagonal) {
    VertexBatch batch;
    add(batch, Primitive::quads, 4);
    std::vector<BatchVertex> lines;
    batch.edges([](const BatchVertex*) { return true; }, lines);
    EXPECT_EQ(lines.size(), 8u);
    lines.clear();
    batch.edges([](const BatchVertex*) { return false; }, lines);
    EXPECT_TRUE(lines.empty());
}

} // namespace
} // namespace velmorra
