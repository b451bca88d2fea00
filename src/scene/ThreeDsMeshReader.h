#pragma once

#include "scene/ChunkCursor.h"
#include "scene/MeshArrays.h"
#include "scene/MeshElement.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmorra {

// The 3DS loader's mesh pass: reads every named object's lists into the next of the meshes the
// count pass counted, and notes the material each object's face material list names.
//
// Each named object with vertices makes one mesh, whatever the order of its lists; the mesh is
// built when the object ends, so nothing of one object reaches another's mesh. An object whose
// vertex data or face data the file cuts short is dropped with a warning; one that the file
// ends after its face data is kept.
class ThreeDsMeshReader {
  public:
    // `materials` has one entry per mesh and receives the material names; empty when none.
    ThreeDsMeshReader(std::span<const std::unique_ptr<MeshElement>> meshes,
                      std::span<std::string> materials);

    void read(ChunkCursor top);

  private:
    // What one named object holds.
    struct PendingObject {
        std::vector<Vector3> vertices;
        std::vector<TexCoord> mapping;
        std::vector<Face> faces;
        int faceLists = 0;
        std::string material; // from its face material lists; the last one named
        bool unreadable = false;
    };

    void readObject(ChunkCursor content);
    void readObjectChunks(ChunkCursor chunks, int depth);
    void readVertices(ChunkCursor content);
    void readMapping(ChunkCursor content);
    void readFaces(ChunkCursor content, int depth);
    void readFaceMaterial(ChunkCursor content);
    void noteIfCutShort(const ChunkCursor& content);
    void buildObjectMesh();
    void checkGeometry() const;

    std::span<const std::unique_ptr<MeshElement>> meshes;
    std::span<std::string> materials;
    PendingObject pending;
    int lastBuilt = -1;
};

} // namespace velmorra
