#include "scene/ThreeDsMeshCounter.h"

#include "scene/ThreeDsChunk.h"
#include "scene/ThreeDsLoader.h"

#include <cstdint>

namespace velmorra {

namespace {

constexpr std::size_t vertexBytes = 12; // x, y, z floats
constexpr std::size_t faceBytes = 8;    // a, b, c and the flags word

// Moves past a list of 16-bit count and entries; true when the list ran past the end of a chunk
// that was cut short (the count included), as the mesh pass finds when it reads the list.
bool skipList(ChunkCursor& content, std::size_t entryBytes) {
    const std::size_t count = content.read16();
    content.skip(count * entryBytes);
    return content.isCut() && content.overran();
}

} // namespace

int ThreeDsMeshCounter::count(ChunkCursor top) {
    int meshes = 0;
    std::uint16_t id = 0;
    ChunkCursor editor;
    while (top.nextChunk(id, editor)) {
        if (id != ThreeDsChunk::editor) {
            continue;
        }
        ChunkCursor object;
        while (editor.nextChunk(id, object)) {
            if (id != ThreeDsChunk::object) {
                continue;
            }
            object.readName();
            ObjectScan scan;
            scanObject(object, 0, scan);
            if (scan.vertexCount != 0 && !scan.unreadable) {
                ++meshes;
            }
        }
    }
    return meshes;
}

void ThreeDsMeshCounter::scanObject(ChunkCursor chunks, int depth, ObjectScan& scan) {
    std::uint16_t id = 0;
    ChunkCursor content;
    while (chunks.nextChunk(id, content)) {
        if (id == ThreeDsChunk::triangleMesh && depth < ThreeDsLoader::nestingLimit) {
            scanObject(content, depth + 1, scan);
        } else if (id == ThreeDsChunk::vertexList) {
            scanVertices(content, scan);
        } else if (id == ThreeDsChunk::faceList && ++scan.faceLists == 1) {
            scanFaces(content, depth, scan);
        }
    }
}

void ThreeDsMeshCounter::scanVertices(ChunkCursor content, ObjectScan& scan) {
    ChunkCursor count = content;
    scan.vertexCount = count.read16();
    scan.unreadable = skipList(content, vertexBytes) || scan.unreadable;
}

void ThreeDsMeshCounter::scanFaces(ChunkCursor content, int depth, ObjectScan& scan) {
    scan.unreadable = skipList(content, faceBytes) || scan.unreadable;
    if (depth < ThreeDsLoader::nestingLimit) {
        scanObject(content, depth + 1, scan);
    }
}

} // namespace velmorra
