#pragma once

#include "ByteSink.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmorra::tools {

// Writes 3DS files: a tree of little-endian chunks, each a 16-bit id and a
// 32-bit length that counts its own 6-byte header.
//
// `scene` writes a whole, well-formed file from meshes and materials. For
// files that are broken on purpose (loader tests, fuzz seeds) the chunk-level
// operations compose anything: chunks whose stated length is wrong, names
// without limits, lists shorter or longer than their neighbours, a file cut
// anywhere (`truncated`).
//
// Vertices are in the file's own axes (z up). Counts in a 3DS file are 16 bits;
// the list writers refuse (write nothing, return false) longer lists.
class ThreeDsWriter {
  public:
    struct Vertex {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
    };
    struct Mapping {
        float u = 0.0f;
        float v = 0.0f;
    };
    struct Face {
        std::uint16_t a = 0;
        std::uint16_t b = 0;
        std::uint16_t c = 0;
        std::uint16_t flags = 7; // all three edges visible
    };
    struct FaceGroup {
        std::string material;
        std::vector<std::uint16_t> faces;
    };
    struct Mesh {
        std::string name;
        std::vector<Vertex> vertices;
        std::vector<Mapping> mapping; // empty: no mapping chunk
        std::vector<Face> faces;
        std::vector<FaceGroup> groups; // written inside the face list
    };
    struct Colour24 {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
    };
    struct Material {
        std::string name;
        Colour24 ambient;
        Colour24 diffuse;
        Colour24 specular;
        std::uint16_t shininessPercent = 20;
        std::string textureMap; // empty: no texture map chunk
    };

    // Chunk ids the writer uses.
    static constexpr std::uint16_t mainChunk = 0x4D4D;
    static constexpr std::uint16_t versionChunk = 0x0002;
    static constexpr std::uint16_t editorChunk = 0x3D3D;
    static constexpr std::uint16_t meshVersionChunk = 0x3D3E;
    static constexpr std::uint16_t masterScaleChunk = 0x0100;
    static constexpr std::uint16_t objectChunk = 0x4000;
    static constexpr std::uint16_t triangleMeshChunk = 0x4100;
    static constexpr std::uint16_t vertexListChunk = 0x4110;
    static constexpr std::uint16_t faceListChunk = 0x4120;
    static constexpr std::uint16_t faceMaterialChunk = 0x4130;
    static constexpr std::uint16_t mappingChunk = 0x4140;
    static constexpr std::uint16_t cameraChunk = 0x4700;
    static constexpr std::uint16_t materialChunk = 0xAFFF;
    static constexpr std::uint16_t materialNameChunk = 0xA000;
    static constexpr std::uint16_t ambientChunk = 0xA010;
    static constexpr std::uint16_t diffuseChunk = 0xA020;
    static constexpr std::uint16_t specularChunk = 0xA030;
    static constexpr std::uint16_t shininessChunk = 0xA040;
    static constexpr std::uint16_t textureMapChunk = 0xA200;
    static constexpr std::uint16_t mapFileNameChunk = 0xA300;
    static constexpr std::uint16_t colourFloatChunk = 0x0010;
    static constexpr std::uint16_t colour24Chunk = 0x0011;
    static constexpr std::uint16_t percentChunk = 0x0030;

    // A complete file: main chunk, version, editor chunk with every material
    // block, then every mesh as a named object.
    static std::vector<std::uint8_t> scene(std::span<const Material> materials,
                                           std::span<const Mesh> meshes);

    // Chunk structure. Every beginChunk needs one endChunk; the length is
    // patched in then. endChunkStating writes `length` instead of the true one.
    void beginChunk(std::uint16_t id);
    void endChunk();
    void endChunkStating(std::uint32_t length);
    int openChunks() const { return static_cast<int>(open.size()); }

    // One whole chunk each.
    void name(std::uint16_t id, const std::string& text);
    bool vertexList(std::span<const Vertex> vertices);
    bool mappingList(std::span<const Mapping> mapping);
    // The face list with the groups' face material lists inside it.
    bool faceList(std::span<const Face> faces, std::span<const FaceGroup> groups = {});
    bool faceMaterialList(const FaceGroup& group);
    void colour24(Colour24 colour);
    void colourFloat(float red, float green, float blue);
    void percent(std::uint16_t value);
    void namedObject(const Mesh& mesh);
    // A named object holding a camera instead of a mesh (no vertex list).
    void cameraObject(const std::string& objectName);
    void materialBlock(const Material& material);

    // Raw bytes, for content that no chunk helper writes.
    ByteSink& raw() { return sink; }

    // The file so far; chunks still open keep the lengths they had when begun (0).
    const std::vector<std::uint8_t>& bytes() const { return sink.data(); }
    // The file so far, cut after `length` bytes.
    std::vector<std::uint8_t> truncated(std::size_t length) const;
    bool writeFile(const std::string& fileName) const;

  private:
    static constexpr std::size_t countLimit = 0xFFFF;

    ByteSink sink;
    std::vector<std::size_t> open; // start offsets of the open chunks
};

} // namespace velmorra::tools
