#include "draw/VertexBatch.h"

namespace velmorra::draw {

BatchKind VertexBatch::kindOf(Primitive primitive) {
    switch (primitive) {
    case Primitive::points:
        return BatchKind::points;
    case Primitive::lines:
    case Primitive::lineStrip:
        return BatchKind::lines;
    case Primitive::triangles:
    case Primitive::quads:
        return BatchKind::triangles;
    }
    return BatchKind::points;
}

void VertexBatch::begin(Primitive newPrimitive) {
    primitive = newPrimitive;
    batchKind = kindOf(newPrimitive);
    pending.clear();
}

void VertexBatch::add(const BatchVertex& vertex) {
    pending.push_back(vertex);
    switch (primitive) {
    case Primitive::points:
        output.push_back(pending.back());
        takeFlatFrom(output.back(), pending.back());
        pending.clear();
        break;
    case Primitive::lines:
        if (pending.size() == 2) {
            emitLine(pending[0], pending[1]);
            pending.clear();
        }
        break;
    case Primitive::lineStrip:
        if (pending.size() == 2) {
            emitLine(pending[0], pending[1]);
            pending.erase(pending.begin());
        }
        break;
    case Primitive::triangles:
        if (pending.size() == 3) {
            emitPolygon();
        }
        break;
    case Primitive::quads:
        if (pending.size() == 4) {
            emitPolygon();
        }
        break;
    }
}

void VertexBatch::end() {
    pending.clear();
}

bool VertexBatch::empty() const {
    return output.empty();
}

BatchKind VertexBatch::kind() const {
    return batchKind;
}

const std::vector<BatchVertex>& VertexBatch::vertices() const {
    return output;
}

const std::vector<std::uint8_t>& VertexBatch::edgeMasks() const {
    return masks;
}

void VertexBatch::clear() {
    output.clear();
    masks.clear();
    pending.clear();
}

void VertexBatch::emitPolygon() {
    const BatchVertex& provoking = pending.back();
    if (pending.size() == 3) {
        emitTriangle({pending[0], pending[1], pending[2]}, provoking, 0b111);
    } else {
        emitTriangle({pending[0], pending[1], pending[2]}, provoking, 0b011);
        emitTriangle({pending[0], pending[2], pending[3]}, provoking, 0b110);
    }
    pending.clear();
}

void VertexBatch::emitLine(const BatchVertex& from, const BatchVertex& to) {
    for (const BatchVertex* each : {&from, &to}) {
        output.push_back(*each);
        takeFlatFrom(output.back(), to);
    }
}

void VertexBatch::emitTriangle(std::array<BatchVertex, 3> corners, const BatchVertex& provoking,
                               std::uint8_t mask) {
    for (BatchVertex& corner : corners) {
        takeFlatFrom(corner, provoking);
        output.push_back(corner);
    }
    masks.push_back(mask);
}

void VertexBatch::takeFlatFrom(BatchVertex& vertex, const BatchVertex& provoking) {
    vertex.flatPosition = provoking.position;
    vertex.flatNormal = provoking.normal;
    vertex.flatColor = provoking.color;
}

} // namespace velmorra::draw
