#pragma once

#include "render/Material.h"
#include "scene/MeshArrays.h"
#include "scene/MeshElement.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmorra {

class ChunkCursor;
class Object;

// Reads a 3DS scene file into mesh elements of an Object: geometry, texture coordinates, the
// ambient, diffuse and specular colours of each mesh's material and the material's texture
// file. Three walks over the chunk tree: count the meshes, read them, read the materials. Every
// step goes to the debug log. A loader keeps nothing from one load to the next.
//
// Each named object with vertices makes one mesh, whatever the order of its lists. A chunk that
// runs past its parent (a file cut short) is read up to the parent's end: the objects that are
// whole are kept, the one that was cut is dropped, each with a warning in the log. Float colours
// are read like 24-bit ones; each material block starts from default colours.
class ThreeDsLoader {
  public:
    // Longest names kept; longer ones are cut.
    static constexpr std::size_t objectNameLimit = 51;
    static constexpr std::size_t materialNameLimit = 49;
    static constexpr std::size_t textureNameLimit = 255;
    // Sub-chunks below this many levels inside an object or a material are skipped.
    static constexpr int nestingLimit = 16;
    // Larger files are refused rather than read into memory.
    static constexpr std::size_t fileSizeLimit = std::size_t{1} << 28;

    // True when the file was read, even with no mesh in it; false, leaving the object
    // unchanged, when a name or the object is missing, the file cannot be read or it does not
    // begin with the main chunk. A texture file is looked for in the current directory by the
    // last component of the name the file gives ("maps\\BRICK.BMP" finds brick.bmp), letter
    // case aside.
    bool load(const char* fileName, Object* object);
    // The same for a file already in memory, from the check of the first chunk on.
    bool load(std::span<const std::uint8_t> file, Object* object);

  private:
    enum class ColorSlot { none, ambient, diffuse, specular };

    // What one named object holds. The mesh is built when the object ends, so the order of its
    // lists does not matter and nothing of it reaches another object's mesh.
    struct PendingObject {
        std::vector<Vector3> vertices;
        std::vector<TexCoord> mapping;
        std::vector<Face> faces;
        int faceLists = 0;
        std::string material; // from its face material lists; the last one named
    };
    // What the count pass learns of one object.
    struct ObjectScan {
        int vertexCount = 0; // of its last vertex list
        int faceLists = 0;   // only the first one is walked into
        bool damaged = false;
    };

    void reset();
    int countMeshes(ChunkCursor top) const;
    static void scanObject(ChunkCursor chunks, int depth, ObjectScan& scan);
    static bool makesMesh(const ObjectScan& scan) { return scan.vertexCount != 0 && !scan.damaged; }

    template <typename Visit> void forEachChunk(ChunkCursor level, Visit&& visit);
    template <typename Visit> void forEachEditorChunk(ChunkCursor top, Visit&& visit);
    bool mayDescend(int depth);
    std::string readName(ChunkCursor& content, std::size_t limit);
    void checkListFits(const ChunkCursor& content);

    void readMeshes(ChunkCursor top);
    void readObject(ChunkCursor content);
    void readObjectChunks(ChunkCursor chunks, int depth);
    void readVertices(ChunkCursor content);
    void readMapping(ChunkCursor content);
    void readFaces(ChunkCursor content, int depth);
    void buildObjectMesh(bool damaged);
    void checkGeometry() const;
    void readFaceMaterial(ChunkCursor content);

    void readMaterials(ChunkCursor top);
    void readMaterialChunks(ChunkCursor chunks, int depth);
    void readMaterialName(ChunkCursor content);
    void selectColor(ColorSlot slot, const char* label);
    void readTextureFile(ChunkCursor content);
    void readColor(ChunkCursor content);
    void readFloatColor(ChunkCursor content);
    void applyColor(float red, float green, float blue);
    bool usesCurrentMaterial(std::size_t mesh) const;

    std::vector<std::unique_ptr<MeshElement>> meshes;
    // The material each mesh's face material list names; empty when none.
    std::vector<std::string> meshMaterials;

    PendingObject pending;
    int lastBuilt = -1;
    // Set by a walk that met a damaged or cut chunk.
    bool damageSeen = false;

    // Each material block starts from a fresh working material.
    Material working;
    std::string currentMaterial;
    int lastUser = -1;
    ColorSlot selected = ColorSlot::none;
};

// The loader as one call: a fresh ThreeDsLoader reads the file into the object.
bool load3ds(const char* fileName, Object* object);

} // namespace velmorra
