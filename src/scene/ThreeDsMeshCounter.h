#pragma once

#include "scene/ChunkCursor.h"

namespace velmorra {

// The 3DS loader's count pass: how many meshes the file's named objects make, so that the mesh
// pass has one slot for each. It walks each object exactly as the mesh pass reads it, quietly:
// the mesh pass meets the same damage and reports it.
class ThreeDsMeshCounter {
  public:
    // An object makes a mesh when its last vertex list has vertices (cameras, lights and empty
    // meshes have none) and its vertex data and first face list's face data could be read
    // whole. A file that ends after an object's face data still counts that object.
    static int count(ChunkCursor top);

  private:
    struct ObjectScan {
        int vertexCount = 0; // of its last vertex list
        int faceLists = 0;   // only the first one is walked into
        bool unreadable = false;
    };

    static void scanObject(ChunkCursor chunks, int depth, ObjectScan& scan);
    static void scanVertices(ChunkCursor content, ObjectScan& scan);
    static void scanFaces(ChunkCursor content, int depth, ObjectScan& scan);
};

} // namespace velmorra
