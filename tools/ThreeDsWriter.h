#pragma once

#include "ByteSink.h"
#include "scene/ThreeDsChunk.h"

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
        // What modelling tools add or reorder: smoothing groups inside the face list, the
        // local axes after the lists, the mapping list after the face list.
        bool smoothingGroups = false;
        bool localAxes = false;
        bool mappingAfterFaces = false;
    };
    struct Colour24 {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
    };
    // How a material's colours are written: 24-bit only; 24-bit followed by the gamma-free
    // ("linear") 24-bit copy, as studio programs write; floats only, as some exporters write.
    enum class ColourForm { bytes, bytesAndLinear, floats };
    struct Material {
        std::string name;
        Colour24 ambient;
        Colour24 diffuse;
        Colour24 specular;
        std::uint16_t shininessPercent = 20;
        std::string textureMap; // empty: no texture map chunk
        ColourForm colourForm = ColourForm::bytes;
        // Shininess strength, transparency, shading and texture tiling and blur chunks.
        bool studioExtras = false;
    };

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
    // The face list with the groups' face material lists (and smoothing groups) inside it.
    bool faceList(std::span<const Face> faces, std::span<const FaceGroup> groups = {},
                  bool smoothing = false);
    bool faceMaterialList(const FaceGroup& group);
    void colour24(Colour24 colour, std::uint16_t id = ThreeDsChunk::colour24);
    void colourFloat(float red, float green, float blue);
    void percent(std::uint16_t value);
    void namedObject(const Mesh& mesh);
    // One smoothing-group word per face (all in group 1).
    void smoothingList(std::size_t faceCount);
    void localAxes();
    // A named object holding a camera instead of a mesh (no vertex list).
    void cameraObject(const std::string& objectName);
    // A named object holding a spotlight with a float colour (no vertex list).
    void lightObject(const std::string& objectName);
    // The keyframer section (after the editor chunk): header, frame range and one object node
    // with a one-key position track per name.
    void keyframer(std::span<const std::string> objectNames);
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

    void faceData(std::span<const Face> faces);
    void materialColour(std::uint16_t slot, Colour24 colour, ColourForm form);

    ByteSink sink;
    std::vector<std::size_t> open; // start offsets of the open chunks
};

} // namespace velmorra::tools
