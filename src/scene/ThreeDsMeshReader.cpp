#include "scene/ThreeDsMeshReader.h"

#include "platform/Log.h"
#include "scene/ThreeDsChunk.h"
#include "scene/ThreeDsChunkWalk.h"
#include "scene/ThreeDsLoader.h"

#include <cstdint>
#include <utility>

namespace velmorra {

ThreeDsMeshReader::ThreeDsMeshReader(std::span<const std::unique_ptr<MeshElement>> meshes,
                                     std::span<std::string> materials)
    : meshes(meshes), materials(materials) {}

void ThreeDsMeshReader::read(ChunkCursor top) {
    ThreeDsChunkWalk::forEachEditorChunk(top, [&](std::uint16_t id, ChunkCursor content) {
        if (id == ThreeDsChunk::object) {
            readObject(content);
        }
    });
}

void ThreeDsMeshReader::readObject(ChunkCursor content) {
    const std::string name = ThreeDsChunkWalk::readName(content, ThreeDsLoader::objectNameLimit);
    write("Reading object: %s\n", name.c_str());
    pending = PendingObject();
    readObjectChunks(content, 0);
    buildObjectMesh();
    pending = PendingObject();
}

// A triangle mesh's chunks, and a face list's own chunks after its face data, are read as if
// they stood at the object's level.
void ThreeDsMeshReader::readObjectChunks(ChunkCursor chunks, int depth) {
    ThreeDsChunkWalk::forEachChunk(chunks, [&](std::uint16_t id, ChunkCursor content) {
        switch (id) {
        case ThreeDsChunk::triangleMesh:
            if (ThreeDsChunkWalk::mayDescend(depth)) {
                readObjectChunks(content, depth + 1);
            }
            break;
        case ThreeDsChunk::vertexList:
            readVertices(content);
            break;
        case ThreeDsChunk::mapping:
            readMapping(content);
            break;
        case ThreeDsChunk::faceList:
            readFaces(content, depth);
            break;
        case ThreeDsChunk::faceMaterial:
            readFaceMaterial(content);
            break;
        default:
            break;
        }
    });
}

// In the file's z-up axes; the mesh converts them.
void ThreeDsMeshReader::readVertices(ChunkCursor content) {
    const int count = content.read16();
    write("Vertices: %d\n", count);
    pending.vertices.assign(static_cast<std::size_t>(count), Vector3{});
    for (Vector3& v : pending.vertices) {
        v.x = content.readFloat();
        v.y = content.readFloat();
        v.z = content.readFloat();
    }
    ThreeDsChunkWalk::checkListFits(content);
    noteIfCutShort(content);
}

void ThreeDsMeshReader::readMapping(ChunkCursor content) {
    const int count = content.read16();
    write("Mapping: %d\n", count);
    pending.mapping.assign(static_cast<std::size_t>(count), TexCoord{});
    for (TexCoord& t : pending.mapping) {
        t.u = content.readFloat();
        t.v = content.readFloat();
    }
    ThreeDsChunkWalk::checkListFits(content);
}

// A mesh has one face list; a second one in the same object is dropped with what it holds.
void ThreeDsMeshReader::readFaces(ChunkCursor content, int depth) {
    const int count = content.read16();
    write("Faces: %d\n", count);
    if (++pending.faceLists > 1) {
        write("Warning: second face list in one object, dropped.\n");
        return;
    }
    pending.faces.assign(static_cast<std::size_t>(count), Face{});
    for (Face& face : pending.faces) {
        face[0] = content.read16();
        face[1] = content.read16();
        face[2] = content.read16();
        content.read16(); // edge visibility flags
    }
    ThreeDsChunkWalk::checkListFits(content);
    noteIfCutShort(content);
    if (ThreeDsChunkWalk::mayDescend(depth)) {
        readObjectChunks(content, depth + 1);
    }
}

// Only the last material named for a mesh is kept; which faces use it is not. A name the file
// cuts short would name some other material: it is not used.
void ThreeDsMeshReader::readFaceMaterial(ChunkCursor content) {
    bool terminated = false;
    const std::string name =
        ThreeDsChunkWalk::readName(content, ThreeDsLoader::materialNameLimit, &terminated);
    write("Material: %s\n", name.c_str());
    if (terminated || !content.isCut()) {
        pending.material = name;
    }
}

// A list whose entries ran past the end of a chunk that was cut short (the file ends inside it,
// or a length before it was wrong) cannot be read whole.
void ThreeDsMeshReader::noteIfCutShort(const ChunkCursor& content) {
    pending.unreadable = pending.unreadable || (content.isCut() && content.overran());
}

// The object's mesh takes the next slot when the count pass counted it (the same rule decides
// both). An object with vertices but no face list keeps its slot and stays unbuilt.
void ThreeDsMeshReader::buildObjectMesh() {
    if (pending.vertices.empty()) {
        return;
    }
    if (pending.unreadable) {
        write("Warning: object damaged or cut short, dropped.\n");
        return;
    }
    const auto slot = static_cast<std::size_t>(++lastBuilt);
    if (slot >= meshes.size()) {
        write("Warning: more objects than counted, object dropped.\n");
        return;
    }
    materials[slot] = pending.material;
    if (pending.faceLists == 0) {
        return;
    }
    checkGeometry();
    meshes[slot]->build(std::move(pending.vertices), std::move(pending.mapping),
                        std::move(pending.faces));
}

void ThreeDsMeshReader::checkGeometry() const {
    if (!pending.mapping.empty() && pending.mapping.size() < pending.vertices.size()) {
        write("Warning: mapping list shorter than the vertex list, missing coordinates are "
              "zero.\n");
    }
    int outside = 0;
    for (const Face& face : pending.faces) {
        for (const std::uint16_t corner : face) {
            if (corner >= pending.vertices.size()) {
                ++outside;
                break;
            }
        }
    }
    if (outside > 0) {
        write("Warning: %d faces name missing vertices and are not drawn.\n", outside);
    }
}

} // namespace velmorra
