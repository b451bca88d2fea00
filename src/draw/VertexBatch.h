#pragma once

#include "draw/Immediate.h"

#include <array>
#include <cstdint>
#include <vector>

namespace velmorra::draw {

// A vertex as the shaders take it: its own attributes, and those of its primitive's last
// vertex, which flat shading colours and lights the whole primitive by.
struct BatchVertex {
    std::array<float, 3> position{};
    std::array<float, 3> normal{0.0f, 0.0f, 1.0f};
    std::array<float, 2> texCoord{};
    std::array<float, 4> color{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 3> flatPosition{};
    std::array<float, 3> flatNormal{};
    std::array<float, 4> flatColor{};
};

enum class BatchKind { points, lines, triangles };

// Immediate-mode primitives gathered as independent points, lines or triangles (quads split
// in two, strips into segments), ready to draw in one call. Each triangle keeps which of its
// edges are edges of the polygon it came from, so that a quad drawn as lines shows no diagonal.
class VertexBatch {
  public:
    static BatchKind kindOf(Primitive primitive);

    // Vertices until end form primitives of this kind; a batch holds one kind only.
    void begin(Primitive primitive);
    void add(const BatchVertex& vertex);
    void end();

    bool empty() const;
    BatchKind kind() const;
    const std::vector<BatchVertex>& vertices() const;
    // The polygon edges of triangles (bit 0: first to second vertex, 1: second to third,
    // 2: third to first), one per triangle.
    const std::vector<std::uint8_t>& edgeMasks() const;
    void clear();

    // The triangles' polygon edges as lines added to `lines`, leaving out the triangles `keep`
    // refuses.
    template <typename Keep> void edges(Keep keep, std::vector<BatchVertex>& lines) const;

  private:
    void emitPolygon();
    void emitLine(const BatchVertex& from, const BatchVertex& to);
    void emitTriangle(std::array<BatchVertex, 3> corners, const BatchVertex& provoking,
                      std::uint8_t mask);
    static void takeFlatFrom(BatchVertex& vertex, const BatchVertex& provoking);

    Primitive primitive = Primitive::points;
    BatchKind batchKind = BatchKind::points;
    std::vector<BatchVertex> pending;
    std::vector<BatchVertex> output;
    std::vector<std::uint8_t> masks;
};

template <typename Keep> void VertexBatch::edges(Keep keep, std::vector<BatchVertex>& lines) const {
    for (std::size_t triangle = 0; triangle < masks.size(); ++triangle) {
        const BatchVertex* corners = &output[triangle * 3];
        if (!keep(corners)) {
            continue;
        }
        for (int edge = 0; edge < 3; ++edge) {
            if ((masks[triangle] >> edge & 1) != 0) {
                lines.push_back(corners[edge]);
                lines.push_back(corners[(edge + 1) % 3]);
            }
        }
    }
}

} // namespace velmorra::draw
